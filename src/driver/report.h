#pragma once

#include <string>
#include <string_view>

namespace driver {

// Where the scan writes its report and asks for the renames the report
// tells of. A line is written in pieces, and the piece after a rename depends
// on how the rename went. A report may carry a rename out later than it was
// asked for, but it writes every piece in the order given, and a piece after
// a rename only once that rename is done.
class Report {
 public:
  virtual ~Report() = default;

  // Appends |text|.
  virtual void write(std::string_view text) = 0;

  // Renames entry |from| to |to|, never replacing an existing file, then
  // appends |renamed| when the file now bears the name |to|, or |failed| when
  // it was left as it was (the name is taken, the folder is not writable, the
  // file was removed or replaced since it was examined, ...).
  virtual void renameThenWrite(const std::string& from, const std::string& to,
                               std::string renamed, std::string failed) = 0;
};

}  // namespace driver
