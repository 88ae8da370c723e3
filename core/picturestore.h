#pragma once
// Pictures kept with the recipes. A picture given to a dish is copied into
// the folder 图片 beside cate.mdb, and the dish stores the copy's path: the
// data folder (cate.mdb, 图片, 备份) then holds everything, and copying it
// to another machine or home moves the pictures along. QtCore only.
//
// A copy is named by its content: the first 16 hex digits of its SHA-256
// and the original extension in lower case ("3f0a…c2e1.jpg"), so the same
// photo given to two dishes, or twice to one, is stored once. It is written
// under a temporary name in the same folder and renamed when complete: a
// file in 图片 under such a name is always whole.
//
// The program never deletes anything in 图片. A picture no dish names any
// more stays there: a safety copy in 备份, or the same catalogue elsewhere,
// may still name it.
#include "store/recipestore.h"

#include <QString>

// dataFolder + "图片/"; `dataFolder` ends in '/' (Catalogue::dataFolder()).
QString pictureFolder(const QString &dataFolder);

// Copies `source` into pictureFolder(dataFolder) under its content's name,
// making the folder when needed, and returns the copy's full path. A copy
// of the same bytes already there is used as it is; a source already inside
// that folder is returned unchanged. A source that cannot be read, or a
// folder or disk that cannot be written, gives StoreError::Other whose
// detail is a Chinese sentence (the system's own words, when any, on a
// second line), said after "图片无法保存：".
StoreResult<QString> keepPicture(const QString &dataFolder, const QString &source);
// Where keepPicture would keep `source`, without copying it.
StoreResult<QString> pictureName(const QString &dataFolder, const QString &source);

// The file to show for a dish's stored picture path: the stored path when
// that file exists; else, when it lies in a folder named 图片 (a catalogue
// brought over from another folder, home or machine), the file of the same
// name in pictureFolder(dataFolder) when that exists; else `stored` as it is.
QString resolvePicture(const QString &dataFolder, const QString &stored);
