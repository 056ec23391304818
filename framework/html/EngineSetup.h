// What the viewer asks of the engine for all its views, set once on the default web context before
// its first view and page process: the page-process sandbox and the engine's memory use for a
// reader of local documents.
#pragma once

class EngineSetup {
 public:
  // Does its work on the first call only.
  static void PrepareDefaultContext();
};
