#pragma once
// The add-recipe window: pick a category, type the name, ingredients and
// method, optionally choose a picture, and save the dish into table "01".
// The catalogue tree of the main window is rebuilt after each save.
#include "skin/framedwindow.h"

class ImageControl;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QFrame;

class Add : public FramedWindow {
    Q_OBJECT
public:
    Add();

    // The category list, as loaded (one entry per row of "02", untrimmed).
    QListWidget *List1() const { return m_List1; }
    QLineEdit *Text1() const { return m_Text1; }      // dish name
    QLineEdit *Text2() const { return m_Text2; }      // picture path
    QPlainTextEdit *Text3() const { return m_Text3; } // ingredients
    QPlainTextEdit *Text4() const { return m_Text4; } // method
    QLabel *Image8() const { return m_Image8; }       // picture preview
    ImageControl *addimage() const { return m_addimage; }
    ImageControl *addcp() const { return m_addcp; }

private:
    void buildControls();
    void Form_Load();
    void List1_Click(QListWidgetItem *item);
    void addimage_Click();
    void addcp_Click();

    QListWidget *m_List1 = nullptr;
    QLabel *m_Label1[4] = {};
    QLineEdit *m_Text1 = nullptr;
    QLineEdit *m_Text2 = nullptr;
    QPlainTextEdit *m_Text3 = nullptr;
    QPlainTextEdit *m_Text4 = nullptr;
    QLabel *m_Image8 = nullptr;
    QLabel *m_Label2 = nullptr;
    ImageControl *m_addimage = nullptr;
    ImageControl *m_addcp = nullptr;
    QFrame *m_Line1 = nullptr;
};
