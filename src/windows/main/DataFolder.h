#pragma once

#include <QString>

#include <functional>
#include <optional>

// Where the program keeps its database: a data link file Tessund.udl or the database INVOICE.mdb.
//
// A portable copy (the build, or a folder the user unpacked and can write to) keeps them beside the
// executable and behaves as it always did. An installed copy keeps them in the user's data folder
// (~/.local/share/Tessund). A copy is installed when its folder holds neither file and either the user
// cannot write to that folder (/usr/bin) or it is laid out as installed, with the program's files in
// ../share/tessund (make install into a prefix of the user's own).
enum class ProgramCopy { Portable, Installed };
ProgramCopy programCopy(const QString &programFolder);

// The user's data folder of an installed copy.
QString userDataFolder();

// The folder the data module opens for the program in programFolder (empty: the executable's folder). At the
// first start of an installed copy without a database it offers to create one there, empty or with the demo
// business; when the user declines, the folder is returned all the same and the database is missing, as for
// a portable copy without one. Empty when the database could not be created (the reason has been shown).
std::optional<QString> prepareDataFolder(const QString &programFolder);

// Whether the user may write to a folder; tests install their own answer (an empty function restores the
// file system's).
using FolderWritable = std::function<bool(const QString &folder)>;
void setFolderWritable(FolderWritable check);
