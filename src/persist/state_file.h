// State files (*.qvl): the 16-byte signature, version 1 and the 79 settings values of one
// gallery job in a fixed order, followed by the web settings when they are not all at their
// defaults.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "job/gallery_settings.h"

namespace quorvel::persist {

// The file's bytes. Throws Error naming the field when a text or a list of lines is over its
// limit.
std::string EncodeState(const GallerySettings& settings);

// `current` with the 79 stored values replaced from `bytes` (the directory list is kept), and
// the web settings from the group after them (their defaults when it is absent). The version
// byte is not examined, and bytes after the 79th value that are no group are passed over. The
// 79 values are all or nothing: throws
// Error ("Read beyond end of file", "%s is not a state file", ...) and changes nothing when
// the bytes do not begin with a complete state file.
GallerySettings DecodeState(std::string_view bytes, const GallerySettings& current,
                            const std::string& path_for_messages);

// Writes through a temporary file and a rename. Throws Error.
void SaveState(const GallerySettings& settings, const std::string& path);

// The largest state file there can be: the header and every value at its largest.
std::uint64_t MaxStateFileBytes();

// Reads the whole file, then DecodeState. Anything but a regular file of at most
// MaxStateFileBytes() is refused unread as "%s is not a state file". Throws Error.
GallerySettings LoadState(const std::string& path, const GallerySettings& current);

}  // namespace quorvel::persist
