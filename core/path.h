// Whether a path names a file on this computer. A wave file on another
// computer must never be opened: Windows would connect to that computer as
// the alarm rings and sign in to it with the user's credentials.
#pragma once

// path is zero-terminated. True for a path on a drive letter ("C:\x.wav",
// "C:x.wav"; a mapped network drive is the user's own choice), a relative or
// rooted one ("x.wav", "\x.wav"), a word such as "DEFAULT", the empty path
// (it names nothing to connect to), and "\\?\C:\..." without "..". False for
// every other path that begins with two slashes or backslashes in any mix
// (UNC paths, "\\?\UNC\", "\\.\UNC\", the "\\.\" and "\\?\" device
// namespaces) and for NT paths beginning "\??\", which Windows passes on
// unparsed. Leading blanks are skipped first.
bool IsLocalPath(const char* path);
