#pragma once
// The export window: what is exported (every dish, or one category), the
// three kinds of cookbook to choose from, and 导 出, which asks where to,
// writes in the background behind a progress dialog and says at the end
// where the cookbook is, with a button that opens its folder.
#include "exchange/exportcookbook.h"
#include "skin/framedwindow.h"

class Catalogue;
class ImageControl;
class QLabel;
class QRadioButton;

namespace zx {

class ExportWindow : public FramedWindow {
    Q_OBJECT
public:
    explicit ExportWindow(Catalogue &catalogue);

    // Every dish (empty), or the dishes of this category.
    void setCategory(const QString &category);

    QLabel *heading() const { return m_heading; }
    QRadioButton *pdfChoice() const { return m_pdfChoice; }   // PDF 菜谱书
    QRadioButton *webChoice() const { return m_webChoice; }   // 网页
    QRadioButton *archiveChoice() const { return m_archiveChoice; }   // 菜谱压缩包
    ImageControl *exportButton() const { return m_exportButton; }

    // Image1, 导 出.
    void exportChosen();
    // Not while its export runs: that ends in its progress window.
    void closeFromFrame() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Catalogue &m_catalogue;
    QString m_category;
    QLabel *m_heading = nullptr;
    QRadioButton *m_pdfChoice = nullptr;
    QRadioButton *m_webChoice = nullptr;
    QRadioButton *m_archiveChoice = nullptr;
    ImageControl *m_exportButton = nullptr;
};

} // namespace zx
