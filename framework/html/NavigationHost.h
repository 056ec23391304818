// What the navigation policy asks of the view it decides for: the host's events, a load of its own,
// a folder or a file's error page shown, a status text, whether a step of the reader's is on its way.
#pragma once

#include <cstddef>
#include <string>

class BrowserEvents;

class NavigationHost {
 public:
  // The host, or nullptr once it has let go.
  virtual BrowserEvents* GetEvents() const = 0;
  virtual void Navigate(const std::string& uri) = 0;
  // Shows a folder as the view's start does; first: where a long listing goes on.
  virtual void ShowFolder(const std::string& dir, std::size_t first) = 0;
  // Shows the page saying that the local file at path cannot be opened, and why.
  virtual void ShowFileError(const std::string& path, const std::string& reason) = 0;
  virtual void ReportStatus(const std::string& text) = 0;
  // A status text that a page's load under way does not replace with its own "Done".
  virtual void ReportNotice(const std::string& text) = 0;
  // Whether a step the reader or the host asked for (Back, Forward, reload, another page) is on its
  // way and the page has not yet been left.
  virtual bool ReaderStepPending() const = 0;
  // The page started a navigation of its own while such a step was on its way (it was dropped).
  virtual void PageInTheWay() = 0;

 protected:
  ~NavigationHost() = default;
};
