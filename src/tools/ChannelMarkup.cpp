#include "ChannelMarkup.h"

#include "markup/SysUt.h"

using namespace Qt::StringLiterals;

namespace {

// Three blanks, the element, its numbers unquoted; the element is left open, as the
// channel format of its time wrote it.
QString timeElement(const QString &name, const ChannelTime &time)
{
    return u"   <"_s + name + u' ' + NumberAttrPiece(u"DAY="_s, time.day, true)
         + NumberAttrPiece(u"HOUR="_s, time.hour, true)
         + NumberAttrPiece(u"MIN="_s, time.minute, true) + u">\r\n"_s;
}

} // namespace

QString composeChannel(const ChannelFields &f)
{
    QString text = u"<?XML VERSION=\"1.0\" ENCODING=\"windows-1250\"?>\r\n\r\n"_s;
    text += u"<CHANNEL "_s + QuotedAttrPiece(u"HREF="_s, f.href)
          + QuotedAttrPiece(u"BASE="_s, f.base) + QuotedAttrPiece(u"SELF="_s, f.self)
          + u">\r\n"_s;
    text += u"  <TITLE>"_s + f.title + u"</TITLE>\r\n"_s;
    if (!f.abstractText.isEmpty())
        text += u" <ABSTRACT>\r\n"_s + f.abstractText + u"\r\n </ABSTRACT>\r\n"_s;
    text += u" <LOGO HREF=\""_s + f.logo + u"\" STYLE=\""_s + f.logoStyle + u"\">\r\n"_s;
    if (f.useSchedule) {
        text += u"<SCHEDULE STARTDATE=\""_s + f.startDate + u"\" ENDDATE=\""_s + f.endDate
              + u"\">\r\n"_s;
        if (f.interval.use)
            text += timeElement(u"INTERVALTIME"_s, f.interval);
        if (f.earliest.use)
            text += timeElement(u"EARLIESTTIME"_s, f.earliest);
        if (f.latest.use)
            text += timeElement(u"LATESTTIME"_s, f.latest);
        text += u"</SCHEDULE>\r\n"_s;
    }
    text += u"</CHANNEL>"_s;
    return text;
}
