// What the browser control reports to the window that hosts it, one call per event. The engine
// has no counterpart for a property store, for quitting, or for the visibility of a browser
// window's own bars and theater mode, so OnPropertyChange, OnQuit, OnVisible, OnToolBar, OnMenuBar,
// OnStatusBar and OnTheaterMode are never raised; they exist so a host can be written against the
// whole set.
#pragma once

#include <string>

// The commands that OnCommandStateChange reports on.
enum : long { CSC_UPDATECOMMANDS = -1, CSC_NAVIGATEFORWARD = 1, CSC_NAVIGATEBACK = 2 };

class BrowserEvents {
 public:
  virtual ~BrowserEvents() = default;

  virtual void OnStatusTextChange(const std::string& text) = 0;
  // progress out of progressMax while a page loads.
  virtual void OnProgressChange(long progress, long progressMax) = 0;
  // Whether there is a page to go back (CSC_NAVIGATEBACK) or forward (CSC_NAVIGATEFORWARD) to.
  virtual void OnCommandStateChange(long command, bool enable) = 0;
  virtual void OnDownloadBegin() = 0;
  virtual void OnDownloadComplete() = 0;
  virtual void OnTitleChange(const std::string& title) = 0;
  virtual void OnNavigateComplete2(const std::string& url) = 0;
  // Before the engine goes to url in the frame named targetFrameName ("" for the frame the link is
  // in); setting *pbCancel stops it.
  virtual void OnBeforeNavigate2(const std::string& url, const std::string& targetFrameName, bool* pbCancel) = 0;
  virtual void OnPropertyChange(const std::string& property) = 0;
  // A link or script asks for a new window; setting *pbCancel refuses it.
  virtual void OnNewWindow2(bool* pbCancel) = 0;
  virtual void OnDocumentComplete(const std::string& url) = 0;
  virtual void OnQuit() = 0;
  virtual void OnVisible(bool visible) = 0;
  virtual void OnToolBar(bool toolBar) = 0;
  virtual void OnMenuBar(bool menuBar) = 0;
  virtual void OnStatusBar(bool statusBar) = 0;
  virtual void OnFullScreen(bool fullScreen) = 0;
  virtual void OnTheaterMode(bool theaterMode) = 0;
};
