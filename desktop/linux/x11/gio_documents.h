#pragma once

#include <string>
#include <vector>

namespace orvex::linux_desktop {

// Opening documents through GIO's default applications (the user's mimeapps.list).

// Opens an existing file with its default application; false when the file is missing or
// no application takes it.
bool openFileWithDefault(const std::string& path);
// Opens a URL with the default handler of its scheme.
bool openUrlWithDefault(const std::string& url);
// Shows a folder: the file manager's org.freedesktop.FileManager1 interface on the session
// bus, else the default application for folders.
bool showFolderInFileManager(const std::string& folderPath);
// Desktop-entry ids (without ".desktop") of the applications that open https URLs.
std::vector<std::string> httpsHandlerIds();
// The desktop-entry id of the default application for folders; empty when there is none.
std::string fileManagerId();

// "org.gnome.Nautilus.desktop" → "org.gnome.Nautilus".
std::string entryIdFromFileName(const std::string& desktopFileId);

}  // namespace orvex::linux_desktop
