// Pages the program makes up itself (a folder's page when there is no start page to show), served
// to the engine under addresses of their own ("generated:///the/folder/"). Loaded that way each is
// a history entry like any other page: Back and Forward return to it and a reload shows it again.
// (HTML handed to the engine as a string leaves no history entry, and a page standing in for the
// folder's own file: address would come back as the engine's listing of that folder.)
#pragma once

#include <functional>
#include <string>

typedef struct _WebKitWebContext WebKitWebContext;

class GeneratedPages {
 public:
  static constexpr const char* kScheme = "generated";

  // Makes the engine ask this class for the scheme's pages; once per context is enough, more
  // calls do nothing.
  static void Register(WebKitWebContext* context);
  // Keeps html as a page of the folder baseUri names ("" for none), its relative links resolved
  // against that folder, and returns the page's address: the folder's, with query ("first=1000")
  // after a "?" when there is one. Pages are kept by their full address: the parts of a long
  // listing each keep their own, and a later page at the same address takes the earlier one's place.
  static std::string Add(const std::string& html, const std::string& baseUri, const std::string& query = "");
  // Makes the pages of addresses nothing was added for: maker returns the page's HTML for the
  // address (fragment left out), or "" when there is none. One maker; a later one replaces it.
  using Maker = std::function<std::string(const std::string& address)>;
  static void Provide(Maker maker);
};
