"""An https server with a self-signed certificate on 127.0.0.1 and a free port, for the Wine
tests (started from inside Wine as a Unix program): writes its port to the file named by the
first argument, answers for 30 s, then ends by itself."""
import http.server
import ssl
import subprocess
import sys
import tempfile
import time
from pathlib import Path

folder = Path(tempfile.mkdtemp(prefix="rw-tls-"))
subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                "-subj", "/CN=127.0.0.1", "-days", "1", "-keyout", folder / "key.pem", "-out", folder / "cert.pem"],
               check=True, capture_output=True)


class Page(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = b"{C476BF3C-A85C-4C00-96A4-6F39C301010F}\nP:PRODUCT_V1\t9.0.0.0\tR\thttps://127.0.0.1/\n"
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Page)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(folder / "cert.pem", folder / "key.pem")
server.socket = context.wrap_socket(server.socket, server_side=True)
server.timeout = 0.5
Path(sys.argv[1] + ".tmp").write_text(str(server.server_address[1]))
Path(sys.argv[1] + ".tmp").rename(sys.argv[1])
end = time.time() + 30
while time.time() < end:
    server.handle_request()
