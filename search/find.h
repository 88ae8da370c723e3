#pragma once
// The search-and-modify window: looks dishes up by a part of their name,
// shows one found dish, and writes the cook's edit of it back to the store.
#include "skin/framedwindow.h"

#include <QtGlobal>

class ImageControl;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

class find : public FramedWindow {
    Q_OBJECT
public:
    find();

    // The handlers of the four picture buttons and of the result list.
    void search();            // Image1, 开始查询
    void choosePicture();     // Image2, 插入图片
    void storeEdit();         // Image3, 更 新
    void reset();             // Image4, 重 写
    void showListedDish(int row);

private:
    void buildControls();

    QLabel *m_labels[5] = {};
    QLineEdit *Text1 = nullptr;
    QListWidget *List1 = nullptr;
    QPlainTextEdit *Text3 = nullptr;
    QPlainTextEdit *Text4 = nullptr;
    QLineEdit *Text2 = nullptr;
    QFrame *m_previewFrame = nullptr;
    ImageControl *Image8 = nullptr;
    ImageControl *Image1 = nullptr;
    ImageControl *Image2 = nullptr;
    ImageControl *Image3 = nullptr;
    ImageControl *Image4 = nullptr;
    QFrame *Line1 = nullptr;
};
