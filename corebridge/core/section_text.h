// Small text and file helpers shared by the module sections of the
// configuration root: case-insensitive ordering of names, cutting a text to a
// stored width without splitting a UTF-8 character, file-name parts of a
// path, and existence and time look-ups that never follow symbolic links.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace section_text {

// Byte-wise comparison with ASCII letters folded to lower case: < 0, 0, > 0.
int CompareNoCase(std::string_view a, std::string_view b);
bool EqualNoCase(std::string_view a, std::string_view b);

// At most `maxBytes` bytes of `text`, cut before a UTF-8 character that
// would not fit whole.
std::string TruncateUtf8(std::string_view text, std::size_t maxBytes);

// "name.ext" of "/folder/name.ext".
std::string FileNameOf(std::string_view path);
// "name" of "/folder/name.ext" (the text before the last dot of the file
// name; a leading dot belongs to the name).
std::string FileStemOf(std::string_view path);

// Whether a file or folder exists at `path` (the path itself; a symbolic
// link counts as existing even when its target is gone).
bool PathExists(const std::string& path);
// Whether `path` names an existing folder (following links, as a browse
// folder may well be a link to one).
bool FolderExists(const std::string& path);
// Last-modification time of the path itself, never of a link's target, in
// nanoseconds since the epoch; empty when there is nothing at `path`.
std::optional<std::int64_t> LastWriteTimeOf(const std::string& path);

}  // namespace section_text
