#pragma once

class Workspace;

// "LinkAnalyzer": the link analyser on the active document; nothing when none is open.
// Its replacements go into the document as one undo step, and a replacement that would
// make the text longer than the editor holds is refused, leaving the document unchanged.
void RunLinkAnalyzer(Workspace &workspace);

// "Nahrávací časy...": the download-time calculator, empty.
void RunDownloadTimes(Workspace &workspace);
