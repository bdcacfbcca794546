#pragma once

#include <QString>

class ProfileFile;

// The value forms of the settings file: numbers in the general 15-digit form with the user's
// decimal separator, the first-run flag as "1" or "0".
namespace SettingsFile {

inline constexpr char readName[] = "Kestrava.Ini";
inline constexpr char writeName[] = "kestrava.ini";

// Where the settings file lives: beside the executable for a portable copy (a build tree, an
// unpacked folder) whose folder is writable; for an installed copy, or when the folder is not
// writable, the user's configuration folder, which is made when missing. Even root, who may
// write to /usr/bin, keeps the settings of an installed copy there.
QString folder(const QString& appDir);

// An installed copy runs from the configured install prefix's bin folder (installedBinFolder),
// or from a bin folder whose prefix holds the program's desktop entry (a package installed
// under another prefix). Symbolic links are followed.
bool isInstalledCopy(const QString& appDir, const QString& installedBinFolder);
bool isInstalledCopy(const QString& appDir);

// A number key: missing gives the default. A present key that does not read in the user's
// format is read with the other decimal separator when that is unambiguous ("8,75" under a
// decimal point), otherwise it also gives the default, so that a start never stops here.
double readNumber(const ProfileFile& file, const QString& section, const QString& key,
                  double defaultValue);

// The flag: a whole number (decimal or hexadecimal); anything but 0 is true; a missing key or
// a text that is not a whole number is false.
bool readFlag(const ProfileFile& file, const QString& section, const QString& key);

void writeNumber(ProfileFile& file, const QString& section, const QString& key, double value);
void writeFlag(ProfileFile& file, const QString& section, const QString& key, bool value);

} // namespace SettingsFile
