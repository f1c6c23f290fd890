#include "updates/NewsNavigation.h"

#include "updates/UpdateFile.h"

namespace rw {

NewsNavigation DecideNewsNavigation(const std::wstring& url, bool topLevel, bool ownPage) {
    if (!IsWebAddress(url)) return NewsNavigation::Cancel;
    if (topLevel && !ownPage) return NewsNavigation::OpenInBrowser;
    return NewsNavigation::Allow;
}

NewsNavigation DecideNewsNewWindow(const std::wstring& url) {
    return IsWebAddress(url) ? NewsNavigation::OpenInBrowser : NewsNavigation::Cancel;
}

}  // namespace rw
