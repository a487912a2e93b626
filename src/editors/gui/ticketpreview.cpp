#include "editors/gui/ticketpreview.h"

#include "app/errors.h"
#include "app/shellstate.h"
#include "db/database.h"
#include "editors/gui/goodspage.h"
#include "editors/gui/ticketpage.h"
#include "editors/ticketdraw.h"
#include "editors/ticketreduce.h"
#include "editors/ticketsource.h"
#include "platform/memory.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>

namespace dm::gui {

namespace {

// The printer's canvas is twice the screen's height tall.
int canvasHeight() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? 2 * screen->geometry().height() : 1200;
}

void preparePreview(QLabel* label) {
    // The picture is as tall as the screen; the page shows its top and must not grow.
    QSizePolicy p = label->sizePolicy();
    p.setVerticalPolicy(QSizePolicy::Ignored);
    label->setSizePolicy(p);
}

} // namespace

TicketPreviews::TicketPreviews(GoodsPage* goods, TicketPage* ticket, QTabWidget* pages,
                               QObject* parent)
    : QObject(parent), m_goods(goods), m_ticket(ticket), m_pages(pages) {
    preparePreview(m_goods->TicketImage);
    preparePreview(m_ticket->TicketDrawImage);
    preparePreview(m_ticket->TemplateTicket);
}

void TicketPreviews::bind(Database* db) {
    m_db = db;
    m_failing = false;
}

void TicketPreviews::report(const QString& text) {
    if (m_failing)
        return;
    m_failing = true;
    if (reportError)
        reportError(text);
    else
        qWarning("%s", qUtf8Printable(text));
}

template <class Draw> bool TicketPreviews::draw(QLabel* target, Draw&& drawCanvas) {
    try {
        m_fonts.setFolder(shell().LanguageFolder);
        const TicketEnvironment env{
            m_fonts,   activeScaleCodePage(),        TicketTexts::fromLanguage(),
            QLocale(), QDateTime::currentDateTime(), canvasHeight()};
        const QImage canvas = drawCanvas(env);
        if (target)
            target->setPixmap(QPixmap::fromImage(ReduceTicket(canvas)));
    } catch (const UserError& e) {
        report(e.text());
        return false;
    }
    m_failing = false;
    return true;
}

void TicketPreviews::DrawSampleTicket() {
    draw(m_ticket->TemplateTicket,
         [](const TicketEnvironment& env) { return DrawSampleTicketCanvas(env); });
}

void TicketPreviews::DrawTicket() {
    if (!m_db || !m_db->isOpen())
        return;
    QLabel* target = nullptr;
    if (m_pages->currentWidget() == m_goods)
        target = m_goods->TicketImage;
    else if (m_pages->currentWidget() == m_ticket)
        target = m_ticket->TicketDrawImage;
    draw(target, [this](const TicketEnvironment& env) {
        return DrawTicketCanvas(ReadTicketData(*m_db, shell().TicketOperatorName), env);
    });
    platform::trimWorkingSet();
}

} // namespace dm::gui
