// The stand-in viewer's log: a test names it through KELV_LOG before a load and reads it back.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

class ViewerLog {
 public:
  // Creates a fresh, empty log file in the temp folder and sets KELV_LOG to it in this process's
  // environment (which the viewer inherits). Removes the file and the variable on destruction.
  ViewerLog();
  ~ViewerLog();
  ViewerLog(const ViewerLog&) = delete;
  ViewerLog& operator=(const ViewerLog&) = delete;

  const std::wstring& path() const { return path_; }
  // All lines written so far (UTF-8 decoded to UTF-16), without line ends. A line counts once
  // its line end is written: the viewer may be in the middle of writing the last one.
  std::vector<std::wstring> Lines() const;
  // How far the viewer got: the first word of each line (all of an exit line), or "nothing".
  std::string Progress() const;
  // Lines that begin with the given prefix, e.g. L"keydown ".
  std::vector<std::wstring> LinesStartingWith(const std::wstring& prefix) const;
  // Text after the prefix of the first line that begins with it; empty when there is none.
  std::wstring First(const std::wstring& prefix) const;
  // Waits (pumping messages) until a line with the prefix appears.
  bool WaitForLine(const std::wstring& prefix, unsigned timeoutMs = 5000) const;

 private:
  std::wstring path_;
};

}  // namespace testing_support
