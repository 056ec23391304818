// The stream a document's Serialize is handed; it knows only its direction.
#pragma once

class CArchive {
 public:
  enum Mode { load = 0, store = 1 };
  explicit CArchive(Mode mode) : m_mode(mode) {}
  bool IsStoring() const { return m_mode == store; }
  bool IsLoading() const { return m_mode == load; }

 private:
  Mode m_mode;
};
