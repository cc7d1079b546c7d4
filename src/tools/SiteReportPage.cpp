#include "tools/SiteReportPage.h"

#include "tools/DownloadTime.h"

using namespace Qt::StringLiterals;

QString siteFindingCaption(SiteFindingKind kind)
{
    switch (kind) {
    case SiteFindingKind::Broken:
        return u"Nefunkční odkazy"_s;
    case SiteFindingKind::CaseMismatch:
        return u"Velikost písmen"_s;
    case SiteFindingKind::Outside:
        return u"Mimo domovský adresář"_s;
    case SiteFindingKind::External:
        return u"Externí adresy"_s;
    case SiteFindingKind::Orphan:
        break;
    }
    return u"Osiřelé soubory"_s;
}

QString pageWeightCaption()
{
    return u"Váha stránek"_s;
}

QString pageDownloadTime(qint64 bytes, qint64 speed, qint64 throughput)
{
    const std::optional<qint64> hundredths = DownloadHundredthsOfBytes(speed, throughput, bytes);
    return hundredths ? FormatDownloadTime(*hundredths) : DownloadTimeTooLongText();
}

namespace {

QString cell(const QString &text)
{
    return u"<td>"_s + text.toHtmlEscaped() + u"</td>"_s;
}

QString place(const SiteFinding &f)
{
    return f.line > 0 ? u"%1:%2"_s.arg(f.line).arg(f.column) : QString();
}

} // namespace

QString siteReportHtml(const SiteReport &report, qint64 speed, qint64 throughput)
{
    QString html = u"<!DOCTYPE html>\r\n<html lang=\"cs\">\r\n<head>\r\n<meta charset=\"utf-8\">\r\n"
                   u"<title>Kontrola webu</title>\r\n</head>\r\n<body>\r\n"_s;
    html += u"<h1>Kontrola webu</h1>\r\n<p>"_s + report.home.toHtmlEscaped()
            + u"<br>\r\nStránek: %1, souborů: %2</p>\r\n"_s.arg(report.pages).arg(report.files);
    if (report.stopped)
        html += u"<p>Kontrola byla zastavena: zpráva není úplná.</p>\r\n"_s;
    for (SiteFindingKind kind : {SiteFindingKind::Broken, SiteFindingKind::CaseMismatch,
                                 SiteFindingKind::Outside, SiteFindingKind::External,
                                 SiteFindingKind::Orphan}) {
        const QList<SiteFinding> findings = report.findingsOf(kind);
        html += u"<h2>"_s + siteFindingCaption(kind).toHtmlEscaped()
                + u" (%1)</h2>\r\n"_s.arg(findings.size());
        if (findings.isEmpty())
            continue;
        html += kind == SiteFindingKind::Orphan
                    ? u"<table border=\"1\">\r\n<tr><th>Soubor</th><th>Velikost</th></tr>\r\n"_s
                    : u"<table border=\"1\">\r\n<tr><th>Stránka</th><th>Řádek:sloupec</th>"
                      u"<th>Odkaz</th><th>Podrobnosti</th></tr>\r\n"_s;
        for (const SiteFinding &f : findings) {
            html += u"<tr>"_s + cell(f.page);
            if (kind != SiteFindingKind::Orphan)
                html += cell(place(f)) + cell(f.reference);
            html += cell(f.detail) + u"</tr>\r\n"_s;
        }
        html += u"</table>\r\n"_s;
    }
    html += u"<h2>"_s + pageWeightCaption()
            + u" (%1 b, %2 %)</h2>\r\n<table border=\"1\">\r\n"
              u"<tr><th>Stránka</th><th>Bajtů</th><th>Souborů</th><th>Nahrávací čas</th></tr>\r\n"_s
                  .arg(speed)
                  .arg(throughput);
    for (const PageWeight &w : report.weights) {
        html += u"<tr>"_s + cell(w.page) + cell(QString::number(w.bytes))
                + cell(QString::number(w.files)) + cell(pageDownloadTime(w.bytes, speed, throughput))
                + u"</tr>\r\n"_s;
    }
    html += u"</table>\r\n</body>\r\n</html>\r\n"_s;
    return html;
}
