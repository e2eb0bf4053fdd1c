// What the program says to its page (web_page.cpp, the page's script in
// packaging/web/vernaskel-page.js): messages, pictures shown, the first
// scene frame shown ("started"), the end.
#pragma once

// Shows an "Error" box's text in the page.
void WebPageShowMessage(const char* caption, const char* text);
// The passes begun so far: 1 during the first.
unsigned WebPassNumber();
// A picture is finished. During the first pass (start-up's loading
// pictures) the page's turn ends here until the browser has shown it.
void WebPagePresented();
