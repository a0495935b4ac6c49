#include "Public/PavProgressView.h"

#include "platform/core/MainThread.h"
#include "platform/ui/ActivityIndicator.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ImageView.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace {
QPointer<PavProgressView> g_view;
quint64 g_generation = 0;

void onMain(std::function<void()> fn)
{
    if (MainThread::isMainThread())
        fn();
    else
        MainThread::post(std::move(fn));
}
}

PavProgressView::PavProgressView(QWidget* host) : QWidget(host)
{
    setObjectName(QStringLiteral("PavProgressView"));
    m_box = new QWidget(this);
    m_box->setObjectName(QStringLiteral("progressBox"));
    m_box->setAttribute(Qt::WA_StyledBackground, true);
    m_box->setStyleSheet(QStringLiteral("#progressBox { background: rgba(0,0,0,190); border-radius: 10px; }"));
    m_indicator = new ui::ActivityIndicator(m_box);
    m_done = new ui::ImageView(QStringLiteral("PavProgressView_done"), m_box);
    m_label = new QLabel(m_box);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    m_label->setStyleSheet(QStringLiteral("color: white; font-size: 17px; background: transparent;"));
}

void PavProgressView::showWithString(const QString& text)
{
    showWithString(text, false, nullptr);
}

void PavProgressView::showWithString(const QString& text, bool networkIndicator)
{
    showWithString(text, networkIndicator, nullptr);
}

void PavProgressView::showWithString(const QString& text, bool networkIndicator, QWidget* inView)
{
    QPointer<QWidget> host(inView);
    const bool hostGiven = inView != nullptr;
    onMain([text, networkIndicator, host, hostGiven] {
        if (hostGiven && !host)
            return;   // the view went away before the call reached the main thread
        showOnMain(text, networkIndicator, false, host);
    });
}

void PavProgressView::showSuccessWithString(const QString& text)
{
    onMain([text] {
        showOnMain(text, false, true, g_view ? g_view->parentWidget() : nullptr);
        const quint64 generation = g_generation;
        QTimer::singleShot(kSuccessDismissMs, g_view.data(), [generation] {
            if (g_view && g_generation == generation)
                g_view->hide();
        });
    });
}

void PavProgressView::dismiss()
{
    onMain([] {
        ++g_generation;
        if (g_view)
            g_view->hide();
    });
}

PavProgressView* PavProgressView::showing()
{
    return (g_view && g_view->isVisibleTo(g_view->parentWidget())) ? g_view.data() : nullptr;
}

void PavProgressView::showOnMain(const QString& text, bool indicator, bool success, QWidget* host)
{
    if (!host)
        host = ui::Canvas::current();
    if (!host)
        return;
    ++g_generation;
    if (!g_view || g_view->parentWidget() != host) {
        if (g_view)
            g_view->deleteLater();
        g_view = new PavProgressView(host);
    }
    g_view->configure(text, indicator, success);
}

void PavProgressView::configure(const QString& text, bool indicator, bool success)
{
    m_success = success;
    m_label->setText(text);
    m_label->setVisible(!text.isEmpty());
    m_indicator->setVisible(indicator && !success);
    m_done->setVisible(success);
    setGeometry(parentWidget()->rect());
    layoutBox();
    show();
    raise();
}

void PavProgressView::layoutBox()
{
    const bool hasIcon = m_indicator->isVisibleTo(m_box) || m_done->isVisibleTo(m_box);
    const bool hasText = !m_label->text().isEmpty();
    const int w = hasText ? std::max(160, std::min(320, m_label->fontMetrics().horizontalAdvance(m_label->text()) + 40)) : 100;
    const int h = (hasIcon ? 60 : 0) + (hasText ? 44 : 0) + 20;
    m_box->setGeometry((width() - w) / 2, (height() - h) / 2, w, h);
    int y = 10;
    if (hasIcon) {
        m_indicator->setGeometry((w - 40) / 2, y + 10, 40, 40);
        m_done->setGeometry((w - 40) / 2, y + 10, 40, 40);
        y += 60;
    }
    m_label->setGeometry(10, y, w - 20, 44);
}

QString PavProgressView::text() const
{
    return m_label->text();
}

bool PavProgressView::showsIndicator() const
{
    return m_indicator->isVisibleTo(m_box);
}
