#pragma once
// The safety copy before a loss: before a category is deleted, and before
// the first edit of a day, cate.mdb is copied into "备份" beside it. When
// the copy cannot be made the cook decides whether to go on without one.
#include "store/backup.h"

class Catalogue;
class QWidget;

// True when the change may go ahead: the copy was made (or today's edit
// copy is there already), or the cook chose to go on without one.
bool SafetyCopyFirst(QWidget *parent, const Catalogue &catalogue, Backup::Reason reason);
