#pragma once

#include <QString>

// The maker's file dialogs: where they start and which files they list.

// The folder a dialog starts in: the one last used, else the desktop's folder of its kind
// (Pictures for photos, Music for songs), else the home folder.
QString PhotoStartFolder(const QString& remembered);
QString SongStartFolder(const QString& remembered);

// The dialogs' filters. HEIC photos are listed so that choosing one says what to do with it.
QString PhotoFilter();
QString SongFilter();

// `path` without its last extension when that extension is a picture's (.jpg, .png, .heic…):
// a puzzle is a program, and a name like a photo's would be opened by the photo viewer. Empty
// when the name is not a picture's.
QString WithoutPictureExtension(const QString& path);
