#pragma once

#include "tools/SiteCheck.h"

#include <QString>

// The words and the HTML page of the site check's report, shared by its window and its
// saved copy.

// The caption of a kind's table: "Nefunkční odkazy", "Velikost písmen" ...
QString siteFindingCaption(SiteFindingKind kind);
// The caption of the page-weight table.
QString pageWeightCaption();

// How long a page's bytes take at a line speed (bits per second) and a share of usable
// throughput (per cent), as the download-time calculator counts and writes it.
QString pageDownloadTime(qint64 bytes, qint64 speed, qint64 throughput);

// The report as an HTML page (UTF-8): a heading with the home directory, then one table
// per kind of finding and the page weights at the given speed.
QString siteReportHtml(const SiteReport &report, qint64 speed, qint64 throughput);
