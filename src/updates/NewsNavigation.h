// Where the news window's browser may go: the news page itself (and the frames inside it)
// over http or https; a link the user follows opens in the user's own browser instead;
// anything else (file:, javascript:, other schemes) goes nowhere.
#pragma once
#include <string>

namespace rw {

enum class NewsNavigation { Allow, OpenInBrowser, Cancel };

// A navigation the browser is about to make. ownPage: the top-level navigation the window
// itself asked for (to the news address); topLevel: the page, not a frame inside it.
NewsNavigation DecideNewsNavigation(const std::wstring& url, bool topLevel, bool ownPage);
// A page's request for a new window: never in the control.
NewsNavigation DecideNewsNewWindow(const std::wstring& url);

}  // namespace rw
