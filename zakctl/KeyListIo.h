#pragma once

// Key list files and memory images on disk for zakctl: the window's reader and writer, but a
// file that the window would quietly load as an empty or padded list is refused here, since
// zakctl may write what it loads into a unit.

#include <string>

#include "KeyTable.h"
#include "MemoryImage.h"

namespace zak::ctl {

// Loads a key list file with the window's reader and settings (no comments, length 30, load
// limit 2000). Throws CtlError (file) when the file is missing or unreadable, has no number
// of keys from 0 to 2000 in [Obecne] PocetKlicu, or lacks a section of one of its keys.
void LoadKeyList(const std::string& path, KeyTable& keys);

// Saves keys 1..PocetKlicu with the window's writer, which replaces the file only once the
// new one is complete. Throws CtlError (file) when it cannot.
void SaveKeyList(const std::string& path, const KeyTable& keys);

// Writes the 32768 bytes of the image the same way. Throws CtlError (file) when it cannot.
void SaveImage(const std::string& path, const MemoryImage& image);

// Replaces a file with `bytes` (UTF-8 text of an export, for instance) the same way.
void SaveBytes(const std::string& path, const std::string& bytes);

// Checks before a long transfer that `path` can be written: its folder exists and may be
// written, and a file already there is a regular file that may be written. Throws CtlError
// (file) otherwise. The write itself may still fail (a full disk); it then changes nothing.
void CheckCanWrite(const std::string& path);

// Do the two paths name the same file (the same path, or links to one file)?
bool SameFile(const std::string& a, const std::string& b);

// Reads a whole file; throws CtlError (file) when it is missing or cannot be read.
std::string ReadBytes(const std::string& path);

// A file name made of `prefix`, the local date and time, and `extension`:
// "zak-2026-12-10_14-05-33.ZAK", with "-2", "-3", ... before the extension when a file of
// that name is already there.
std::string TimestampedName(const std::string& prefix, const std::string& extension);

}  // namespace zak::ctl
