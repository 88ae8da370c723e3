// The web view, built as a module of its own and loaded only when the
// upgrade window opens: linking the web engine into the program would start
// its graphics set-up at every launch, costing start-up time and memory.
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

extern "C" Q_DECL_EXPORT QWidget *zxCreateWebView(QWidget *parent)
{
    auto *view = new QWebEngineView(parent);
    // The view owns its page, so the page goes before the view does.
    view->setPage(new QWebEnginePage(QWebEngineProfile::defaultProfile(), view));
    return view;
}
