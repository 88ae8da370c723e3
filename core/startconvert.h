#pragma once
// A cate.mdb kept in the Jet (Access) format of the first versions, met at
// start: read whole, and the cook asked whether to convert it. Yes: the file
// goes into "备份" byte for byte (an Access copy), and a new cate.mdb with the
// same tables and rows takes its place. No, or a file that cannot be read
// (damaged, a password, Access 2007 and later): the program is to quit and
// nothing has been touched.
#include <QDateTime>
#include <QString>

enum class StartConversion {
    NotNeeded,   // no Jet file: start as always
    Converted,   // start on the new cate.mdb
    Quit         // the cook said no, or was told why it cannot be done
};

// `dataFolder` ends in '/'.
StartConversion offerConversionAtStart(const QString &dataFolder,
                                       const QDateTime &now = QDateTime::currentDateTime());
