// Folder listing, the documents folder and the URL handler.
#pragma once

#include <string>

namespace glint {

// Calls callback(name, isDirectory, user) for every entry of the folder,
// "." and ".." included, until the callback returns false. A missing folder
// reports nothing.
using DirectoryCallback = bool (*)(const char* name, bool isDirectory, void* user);
void listDirectory(const char* path, DirectoryCallback callback, void* user);

// The user's documents folder (XDG documents directory) in UTF-8, in the
// shared path buffer; the data path followed by "/" when there is none.
const char* documentsPath();

// The per-user application-data folder: $XDG_DATA_HOME, else
// ~/.local/share, created when missing. Empty when there is no home or the
// folder cannot be made.
std::string applicationDataPath();

// Creates one folder; an existing folder is fine.
bool createDirectory(const char* path);

// Hands an http, https or mailto URL to the desktop's default handler
// (xdg-open, no shell). Returns false for other URLs and when the handler
// could not be started.
bool openUrl(const char* url);

} // namespace glint
