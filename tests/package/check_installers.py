#!/usr/bin/env python3
"""The installers as `make installer` builds them: each under 1 MB, and signed when given a
certificate. Signing is tried with a throw-away code-signing certificate made by openssl:
osslsigncode must verify the program, the MSI and the per-user setup, a changed byte must break
the signature, and without a certificate nothing is signed.

    check_installers.py BUILD_DIR     (exit code 1 and one line per fault when anything is wrong)"""
import os
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]


def verified(path, ca):
    r = subprocess.run(["osslsigncode", "verify", "-CAfile", ca, "-in", path], capture_output=True, text=True)
    return r.returncode == 0 and "Signature verification: ok" in r.stdout


def package(build_dir, out, env):
    subprocess.run([ROOT / "scripts" / "package", build_dir, "--out", out], env=env, check=True,
                   capture_output=True, timeout=300)
    return [out / name for name in ("Restwell.exe", "Restwell.msi", "RestwellSetup.exe")]


def main():
    build_dir = Path(sys.argv[1])
    faults = []
    with tempfile.TemporaryDirectory() as work:
        work = Path(work)
        cert, key = work / "cert.pem", work / "key.pem"
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                        "/CN=Restwell test signing", "-addext", "extendedKeyUsage=codeSigning", "-keyout", key,
                        "-out", cert], check=True, capture_output=True)
        signed = package(build_dir, work / "signed",
                         dict(os.environ, RESTWELL_CODESIGN_CERT=str(cert), RESTWELL_CODESIGN_KEY=str(key)))
        for path in signed:
            if not verified(path, cert):
                faults.append(f"{path.name} does not carry a valid signature")
        tampered = work / "tampered.exe"
        data = bytearray(signed[0].read_bytes())
        data[len(data) // 2] ^= 0xFF
        tampered.write_bytes(bytes(data))
        if verified(tampered, cert):
            faults.append("a program with one byte changed still verifies")
        for path in package(build_dir, work / "plain", {k: v for k, v in os.environ.items()
                                                          if not k.startswith("RESTWELL_CODESIGN")}):
            if verified(path, cert):
                faults.append(f"{path.name} is signed although no certificate was given")
            if path.name != "Restwell.exe" and path.stat().st_size >= 1 << 20:
                faults.append(f"{path.name} has {path.stat().st_size} bytes, more than 1 MB")
    for fault in faults:
        print(f"check_installers: {fault}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
