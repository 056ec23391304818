// What the browser control reports to the window that hosts it, one call per event.
#pragma once

#include <string>

// The commands that OnCommandStateChange reports on.
enum : long { CSC_NAVIGATEFORWARD = 1, CSC_NAVIGATEBACK = 2 };

// Every event does nothing unless a host overrides it.
class BrowserEvents {
 public:
  virtual ~BrowserEvents() = default;

  virtual void OnStatusTextChange(const std::string& /*text*/) {}
  // progress out of progressMax while a page loads.
  virtual void OnProgressChange(long /*progress*/, long /*progressMax*/) {}
  // Whether there is a page to go back (CSC_NAVIGATEBACK) or forward (CSC_NAVIGATEFORWARD) to.
  virtual void OnCommandStateChange(long /*command*/, bool /*enable*/) {}
  virtual void OnDownloadBegin() {}
  virtual void OnDownloadComplete() {}
  virtual void OnTitleChange(const std::string& /*title*/) {}
  virtual void OnNavigateComplete2(const std::string& /*url*/) {}
  // Before the engine goes to url in the frame named targetFrameName ("" for the frame the link is
  // in); setting *pbCancel stops it.
  virtual void OnBeforeNavigate2(const std::string& /*url*/, const std::string& /*targetFrameName*/,
                                 bool* /*pbCancel*/) {}
  // A link or script asks for a new window; setting *pbCancel refuses it.
  virtual void OnNewWindow2(bool* /*pbCancel*/) {}
  virtual void OnDocumentComplete(const std::string& /*url*/) {}
};
