#pragma once

#include <QString>

// One timing element of a channel's schedule (interval, earliest or latest time), written
// only when its "Použít" box is checked.
struct ChannelTime
{
    bool use = false;
    int day = 0;
    int hour = 0;
    int minute = 0;
};

// The fields of the channel wizard; the defaults are the dialog's.
struct ChannelFields
{
    QString href, base, self, title;
    QString abstractText; // CR LF line breaks
    QString logo;
    QString logoStyle = QStringLiteral("ICON");
    bool useSchedule = false;
    QString startDate, endDate;
    ChannelTime interval, earliest, latest;
};

// The channel definition document: XML declaration, CHANNEL with its title, abstract,
// logo and schedule, CR LF line breaks, no line break after the closing "</CHANNEL>".
QString composeChannel(const ChannelFields &fields);
