#pragma once
// The category manager: adds a category to table "02", and deletes a
// category together with every dish filed under it. Clicking a category
// here also picks it for the add-recipe window.
#include "skin/framedwindow.h"

class ImageControl;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

class addmulu : public FramedWindow {
    Q_OBJECT
public:
    addmulu();

    QListWidget *List1() const { return m_List1; }
    QLineEdit *Text1() const { return m_Text1; }
    ImageControl *Image1() const { return m_Image1; }   // 新增分类
    ImageControl *Image2() const { return m_Image2; }   // 删除分类

private:
    void buildControls();
    void Form_Load();
    void List1_Click(QListWidgetItem *item);
    void Image1_Click();
    void Image2_Click();

    QListWidget *m_List1 = nullptr;
    QLabel *m_Label1[2] = {};
    QLineEdit *m_Text1 = nullptr;
    ImageControl *m_Image1 = nullptr;
    ImageControl *m_Image2 = nullptr;
    QLabel *m_Label2 = nullptr;
    QFrame *m_Line1 = nullptr;
    QFrame *m_Line2 = nullptr;
};
