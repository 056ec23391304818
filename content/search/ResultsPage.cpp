#include "content/search/ResultsPage.h"

#include <glibmm/markup.h>
#include <glibmm/uriutils.h>

#include <algorithm>

namespace {

constexpr const char kFile[] = "file:", kGenerated[] = "generated:", kSearch[] = "?search=", kFrom[] = "&from=";

std::string Escaped(const std::string& text) { return Glib::Markup::escape_text(text); }

// A snippet's text escaped, its marked words in <mark>.
std::string Marked(const std::string& snippet) {
  std::string html;
  std::string run;
  auto flush = [&] {
    html += Escaped(run);
    run.clear();
  };
  for (char c : snippet) {
    if (c == SearchIndex::kMarkStart || c == SearchIndex::kMarkEnd) {
      flush();
      html += c == SearchIndex::kMarkStart ? "<mark>" : "</mark>";
    } else {
      run += c;
    }
  }
  flush();
  return html;
}

std::string Count(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string ResultsPage::Address(const Request& request) {
  std::string folder = request.folderUri.rfind(kFile, 0) == 0 ? request.folderUri.substr(sizeof kFile - 1) : "";
  std::string address = kGenerated + folder + kSearch + Glib::uri_escape_string(request.typed, "", false);
  if (request.from > 0) address += kFrom + std::to_string(request.from);
  return address;
}

std::optional<ResultsPage::Request> ResultsPage::Parse(const std::string& address) {
  const std::size_t search = address.find(kSearch);
  if (address.rfind(kGenerated, 0) != 0 || search == std::string::npos) return std::nullopt;
  Request request;
  request.folderUri = kFile + address.substr(sizeof kGenerated - 1, search - (sizeof kGenerated - 1));
  const std::size_t start = search + sizeof kSearch - 1;
  const std::size_t from = address.find(kFrom, start);
  request.typed = Glib::uri_unescape_string(address.substr(start, from == std::string::npos ? from : from - start));
  if (from != std::string::npos)
    request.from = std::size_t(std::strtoull(address.c_str() + from + sizeof kFrom - 1, nullptr, 10));
  return request;
}

std::string ResultsPage::Html(const Request& request, const SearchIndex::Results& results, const Footer& footer) {
  const std::string query = Escaped(request.typed);
  std::string html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><base href=\"" + Escaped(request.folderUri) +
                     "\"><title>Search: " + query +
                     "</title><style>body{font-family:sans-serif;margin:2em;max-width:50em}"
                     "li{margin:.8em 0}small{color:#555}</style></head><body><h1>Search: " +
                     query + "</h1>";
  if (results.sections == 0) {
    html += "<p>No pages match " + query + ".</p>";
  } else {
    const std::size_t to = request.from + results.hits.size();
    html += "<p>" + Count(results.sections, "section", "sections") + " in " + Count(results.pages, "page", "pages") +
            " match. " +
            (request.from > 0 || to < results.sections
                 ? "Hits " + std::to_string(request.from + 1) + " to " + std::to_string(to) + "."
                 : std::string()) +
            "</p><ol start=\"" + std::to_string(request.from + 1) + "\">";
    for (const SearchIndex::Hit& hit : results.hits) {
      std::string href = Glib::uri_escape_string(hit.path, "/", false);
      if (!hit.anchor.empty()) {
        href += '#';
        href += Glib::uri_escape_string(hit.anchor, "", false);
      }
      std::string label = hit.title.empty() ? hit.path : hit.title;
      if (!hit.heading.empty() && hit.heading != hit.title) {
        label += " › ";
        label += hit.heading;
      }
      html += "<li><a href=\"" + Escaped(href) + "\">" + Escaped(label) + "</a><br>" + Marked(hit.snippet) +
              "<br><small>" + Escaped(hit.path) + "</small></li>";
    }
    html += "</ol>";
    if (to < results.sections) {
      Request next = request;
      next.from = to;
      html += "<p><a href=\"" + Escaped(Address(next)) + "\">Next " +
              std::to_string(std::min(kPerPage, results.sections - to)) + "</a></p>";
    }
  }
  std::string notes;
  if (footer.indexing) notes += "Indexing is under way; the results so far are shown. ";
  if (footer.unreadable > 0)
    notes += Count(footer.unreadable, "page or folder", "pages or folders") + " could not be read. ";
  if (footer.cut > 0) notes += Count(footer.cut, "page is", "pages are") + " too long to be searched in full. ";
  if (!footer.notice.empty()) notes += footer.notice;
  if (!notes.empty()) html += "<hr><p><small>" + Escaped(notes) + "</small></p>";
  return html + "</body></html>";
}
