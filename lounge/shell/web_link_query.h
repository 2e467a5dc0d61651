// The web-link query: at start-up and when the home page asks, the program
// fetches a short status reply from the maker's web service. The request URL
// is a format string in the registry; the reply gives a content number (which
// tells the home page whether to offer its web entry) and the newest build.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Registry places of the query (HKEY_LOCAL_MACHINE, read only) and of the
// stored status (HKEY_CURRENT_USER).
inline constexpr const char* kWebLinkProductKey = "SoftWare\\Kestrovia\\Marivel";
inline constexpr const char* kWebLinkBuildInfoKey = "SoftWare\\Kestrovia\\Marivel\\BuildInfo";
inline constexpr const char* kWebLinkQueryValue = "WebLinkQuery";  // URL format with two "%s": "MRV", Ver
inline constexpr const char* kWebLinkVersionValue = "Ver";
inline constexpr const char* kWebLinkStatusValue = "WebLinkStatus";

// What a reply says.
struct WebLinkReply {
  int nContent = 0;      // "CONTENT=", 0 when the key is missing
  std::string strBuild;  // "BUILD=", empty when the key is missing (upper case, as the reply is)
};

// Reads a reply body: the lines are joined, trimmed, trailing '&' removed and
// one '&' appended, the text upper-cased; each key's value runs to the next
// '&'. Empty when the body has nothing to read or CONTENT is not a
// non-negative number that fits an int.
std::optional<WebLinkReply> ParseWebLinkReply(std::string_view body);

// Runs the query. Returns the content number (>= 0) and sets `serverBuild`
// to the reply's build; with a non-zero `storeStatus` the number is also
// written as HKCU "WebLinkStatus". Any failure (registry values missing, a
// format with other conversions than two "%s", a URL that is not http or
// https, no connection within 3 s, no complete reply within 5 s, a reply over
// 64 KiB, a status other than 2xx, an unreadable reply) returns -1 and
// changes nothing. Blocks the calling thread for at most those 5 s.
int QueryWebLink(int storeStatus, std::string& serverBuild);
