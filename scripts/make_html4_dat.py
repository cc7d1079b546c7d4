#!/usr/bin/env python3
"""Writes data/files/html4.dat, the tag tree of the side panel.

Every HTML 4.01 element once, in upper case and alphabetical order, followed by the
browser extensions the tag palette offers. A node is its opening and closing text split
at the first comma: '<TABLE>,</TABLE>', or '<BR>,' for an element without an end tag so
the caret lands after it. Under each element, one tab deeper, stand its attributes from
the HTML 4.01 attribute index and the common ID, CLASS, STYLE and TITLE where the element
takes them: a valued attribute as 'ALIGN=","' (the caret lands between the quotes), a flag
as 'NOSHADE,'. The file is ASCII with CR LF line ends. Run from the repository root.
"""
import os

# Attributes that are flags (no value).
FLAGS = {"CHECKED", "COMPACT", "DECLARE", "DEFER", "DISABLED", "ISMAP", "MULTIPLE",
         "NOHREF", "NORESIZE", "NOSHADE", "NOWRAP", "READONLY", "SELECTED"}
CORE = ["ID", "CLASS", "STYLE", "TITLE"]
CELL_ALIGN = ["ALIGN", "CHAR", "CHAROFF", "VALIGN"]
FRAME_COMMON = ["LONGDESC", "NAME", "SRC", "FRAMEBORDER", "MARGINWIDTH", "MARGINHEIGHT"]

# element: (has an end tag, own attributes, takes the common attributes)
ELEMENTS = {
    "A": (True, ["CHARSET", "TYPE", "NAME", "HREF", "HREFLANG", "TARGET", "REL", "REV",
                 "ACCESSKEY", "SHAPE", "COORDS", "TABINDEX"], True),
    "ABBR": (True, [], True),
    "ACRONYM": (True, [], True),
    "ADDRESS": (True, [], True),
    "APPLET": (True, ["CODEBASE", "ARCHIVE", "CODE", "OBJECT", "ALT", "NAME", "WIDTH",
                      "HEIGHT", "ALIGN", "HSPACE", "VSPACE"], True),
    "AREA": (False, ["SHAPE", "COORDS", "HREF", "TARGET", "NOHREF", "ALT", "TABINDEX",
                     "ACCESSKEY"], True),
    "B": (True, [], True),
    "BASE": (False, ["HREF", "TARGET"], False),
    "BASEFONT": (False, ["ID", "SIZE", "COLOR", "FACE"], False),
    "BDO": (True, ["LANG", "DIR"], True),
    "BIG": (True, [], True),
    "BLOCKQUOTE": (True, ["CITE"], True),
    "BODY": (True, ["BACKGROUND", "BGCOLOR", "TEXT", "LINK", "VLINK", "ALINK"], True),
    "BR": (False, ["CLEAR"], True),
    "BUTTON": (True, ["NAME", "VALUE", "TYPE", "DISABLED", "TABINDEX", "ACCESSKEY"], True),
    "CAPTION": (True, ["ALIGN"], True),
    "CENTER": (True, [], True),
    "CITE": (True, [], True),
    "CODE": (True, [], True),
    "COL": (False, ["SPAN", "WIDTH"] + CELL_ALIGN, True),
    "COLGROUP": (True, ["SPAN", "WIDTH"] + CELL_ALIGN, True),
    "DD": (True, [], True),
    "DEL": (True, ["CITE", "DATETIME"], True),
    "DFN": (True, [], True),
    "DIR": (True, ["COMPACT"], True),
    "DIV": (True, ["ALIGN"], True),
    "DL": (True, ["COMPACT"], True),
    "DT": (True, [], True),
    "EM": (True, [], True),
    "FIELDSET": (True, [], True),
    "FONT": (True, ["SIZE", "COLOR", "FACE"], True),
    "FORM": (True, ["ACTION", "METHOD", "ENCTYPE", "ACCEPT", "NAME", "ACCEPT-CHARSET",
                    "TARGET"], True),
    "FRAME": (False, FRAME_COMMON + ["NORESIZE", "SCROLLING"], True),
    "FRAMESET": (True, ["ROWS", "COLS"], True),
    "H1": (True, ["ALIGN"], True),
    "H2": (True, ["ALIGN"], True),
    "H3": (True, ["ALIGN"], True),
    "H4": (True, ["ALIGN"], True),
    "H5": (True, ["ALIGN"], True),
    "H6": (True, ["ALIGN"], True),
    "HEAD": (True, ["PROFILE"], False),
    "HR": (False, ["ALIGN", "NOSHADE", "SIZE", "WIDTH"], True),
    "HTML": (True, ["VERSION"], False),
    "I": (True, [], True),
    "IFRAME": (True, FRAME_COMMON + ["SCROLLING", "ALIGN", "HEIGHT", "WIDTH"], True),
    "IMG": (False, ["SRC", "ALT", "LONGDESC", "NAME", "HEIGHT", "WIDTH", "USEMAP", "ISMAP",
                    "ALIGN", "BORDER", "HSPACE", "VSPACE"], True),
    "INPUT": (False, ["TYPE", "NAME", "VALUE", "CHECKED", "DISABLED", "READONLY", "SIZE",
                      "MAXLENGTH", "SRC", "ALT", "USEMAP", "ISMAP", "TABINDEX", "ACCESSKEY",
                      "ACCEPT", "ALIGN"], True),
    "INS": (True, ["CITE", "DATETIME"], True),
    "ISINDEX": (False, ["PROMPT"], True),
    "KBD": (True, [], True),
    "LABEL": (True, ["FOR", "ACCESSKEY"], True),
    "LEGEND": (True, ["ACCESSKEY", "ALIGN"], True),
    "LI": (True, ["TYPE", "VALUE"], True),
    "LINK": (False, ["CHARSET", "HREF", "HREFLANG", "TYPE", "REL", "REV", "MEDIA",
                     "TARGET"], True),
    "MAP": (True, ["NAME"], True),
    "MENU": (True, ["COMPACT"], True),
    "META": (False, ["HTTP-EQUIV", "NAME", "CONTENT", "SCHEME"], False),
    "NOFRAMES": (True, [], True),
    "NOSCRIPT": (True, [], True),
    "OBJECT": (True, ["DECLARE", "CLASSID", "CODEBASE", "DATA", "TYPE", "CODETYPE",
                      "ARCHIVE", "STANDBY", "HEIGHT", "WIDTH", "USEMAP", "NAME", "TABINDEX",
                      "ALIGN", "BORDER", "HSPACE", "VSPACE"], True),
    "OL": (True, ["TYPE", "COMPACT", "START"], True),
    "OPTGROUP": (True, ["DISABLED", "LABEL"], True),
    "OPTION": (True, ["SELECTED", "DISABLED", "LABEL", "VALUE"], True),
    "P": (True, ["ALIGN"], True),
    "PARAM": (False, ["ID", "NAME", "VALUE", "VALUETYPE", "TYPE"], False),
    "PRE": (True, ["WIDTH"], True),
    "Q": (True, ["CITE"], True),
    "S": (True, [], True),
    "SAMP": (True, [], True),
    "SCRIPT": (True, ["CHARSET", "TYPE", "LANGUAGE", "SRC", "DEFER", "EVENT", "FOR"], False),
    "SELECT": (True, ["NAME", "SIZE", "MULTIPLE", "DISABLED", "TABINDEX"], True),
    "SMALL": (True, [], True),
    "SPAN": (True, [], True),
    "STRIKE": (True, [], True),
    "STRONG": (True, [], True),
    "STYLE": (True, ["TYPE", "MEDIA", "TITLE"], False),
    "SUB": (True, [], True),
    "SUP": (True, [], True),
    "TABLE": (True, ["SUMMARY", "WIDTH", "BORDER", "FRAME", "RULES", "CELLSPACING",
                     "CELLPADDING", "ALIGN", "BGCOLOR"], True),
    "TBODY": (True, CELL_ALIGN, True),
    "TD": (True, ["ABBR", "AXIS", "HEADERS", "SCOPE", "ROWSPAN", "COLSPAN"] + CELL_ALIGN
           + ["NOWRAP", "BGCOLOR", "WIDTH", "HEIGHT"], True),
    "TEXTAREA": (True, ["NAME", "ROWS", "COLS", "DISABLED", "READONLY", "TABINDEX",
                        "ACCESSKEY"], True),
    "TFOOT": (True, CELL_ALIGN, True),
    "TH": (True, ["ABBR", "AXIS", "HEADERS", "SCOPE", "ROWSPAN", "COLSPAN"] + CELL_ALIGN
           + ["NOWRAP", "BGCOLOR", "WIDTH", "HEIGHT"], True),
    "THEAD": (True, CELL_ALIGN, True),
    "TITLE": (True, [], False),
    "TR": (True, CELL_ALIGN + ["BGCOLOR"], True),
    "TT": (True, [], True),
    "U": (True, [], True),
    "UL": (True, ["TYPE", "COMPACT"], True),
    "VAR": (True, [], True),
}

# The browser extensions of the tag palette, after the standard elements.
EXTENSIONS = [
    ("BGSOUND", (False, ["SRC", "LOOP", "BALANCE", "VOLUME"], False)),
    ("BLINK", (True, [], True)),
    ("EMBED", (False, ["SRC", "WIDTH", "HEIGHT", "AUTOSTART", "LOOP", "HIDDEN", "ALIGN",
                       "NAME", "PLUGINSPAGE", "TYPE"], False)),
    ("MARQUEE", (True, ["BEHAVIOR", "DIRECTION", "LOOP", "SCROLLAMOUNT", "SCROLLDELAY",
                        "BGCOLOR", "WIDTH", "HEIGHT", "HSPACE", "VSPACE"], True)),
    ("NOBR", (True, [], True)),
    ("WBR", (False, [], False)),
]


def element_lines(name, paired, attributes, common):
    lines = ["<%s>,</%s>" % (name, name) if paired else "<%s>," % name]
    names = list(attributes) + [a for a in CORE if common and a not in attributes]
    for attribute in names:
        lines.append("\t" + (attribute + "," if attribute in FLAGS else attribute + '=","'))
    return lines


def main():
    lines = []
    for name in sorted(ELEMENTS):
        lines += element_lines(name, *ELEMENTS[name])
    for name, entry in EXTENSIONS:
        lines += element_lines(name, *entry)
    with open(os.path.join("data", "files", "html4.dat"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("ascii"))


if __name__ == "__main__":
    main()
