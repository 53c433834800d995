// Texts the shell integration hands on: the tray icon's tooltip, and the
// about box's links.
#pragma once

#include <optional>
#include <string>

namespace dc {

// The short hint (the text before the first "|"), cut to 63 characters
// below shell 5.0 or 127 from 5.0 on. Below 5.0 every CR LF first becomes " - ".
std::wstring TrayTip(const std::wstring& hint, bool shell5OrLater);

// The address the website link may open: an http://, https:// or mailto:
// address (scheme in any case), or "www." text with "http://" put before it;
// nothing for anything else, so a package cannot make the shell run a program.
std::optional<std::string> WebsiteToOpen(const std::string& website);
// "mailto:" always put before the text.
std::string MailtoOf(const std::string& email);

}  // namespace dc
