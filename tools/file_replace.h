// Putting new contents in the place of a file in one step, so that a failure at any point
// leaves the file as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

enum class ReplaceStatus { Done, ReadOnly, OtherNames, LeftoverNewFile, Failed };

struct ReplaceResult {
    ReplaceStatus Status = ReplaceStatus::Done;
    std::string Message; // what failed or was refused, naming the file; empty when done
};

// Writes contents to a new file beside the file at path (its name with ".new"), flushes it
// to disk, checks that the file still holds exactly before (where before is given; where it
// is not, no file need be there yet), and only then renames the new file over it. A link is
// followed: the file it names is replaced and the link stays a link. Refused with nothing
// written: a read-only file; a file with other names (hard links), which the replacement would
// part; and a new file's name that is taken already. On any failure, an exception included,
// the file is left as it was and the new file is removed again.
ReplaceResult ReplaceFileContents(const std::string& path, std::optional<std::string_view> before,
                                  std::string_view contents);
