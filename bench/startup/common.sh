# Sourced by startup.sh and trace.sh: a work folder, mapwatch built into it, a private X
# server without a window manager (windows map straight on the root), the pages, and
# fresh settings for every run, never the user's. Needs here (this folder).
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
cc -O2 -o "$work/mapwatch" "$here/mapwatch.c" -lX11 -lXtst -lXdamage

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox --disable-gpu}"

# The pages: as long as the editor allows, a small one for the preview, ten of 100 KB.
page() { # length file
    awk -v n="$1" 'BEGIN {
        p = "<P ALIGN=left>Text <B>bold</B> and <A HREF=\"x.html\">a link</A> <IMG SRC=\"a.gif\">\r\n" \
            "<TABLE BORDER=1><TR><TD>cell</TD><TD>more</TD></TR></TABLE><BR>\r\n" \
            "Some ordinary words of the page text, long enough to read like a paragraph.\r\n"
        s = ""; while (length(s) < n) s = s p
        printf "%s", substr(s, 1, n) }' >"$2"
}
mkdir -p "$work/pages" "$work/ten"
page 999000 "$work/pages/bigpage.html"
page 50000 "$work/pages/preview.html"
for i in $(seq 10); do page 100000 "$work/ten/page$i.html"; done

fresh() {
    rm -rf "$work/home"
    export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache"
    export XDG_DATA_HOME="$work/home/data" XDG_RUNTIME_DIR="$work/home/runtime"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    # Every typing aid on: the ones on by default and the closing of tags.
    printf '[User]\nCloseTags=1\n' >"$XDG_CONFIG_HOME/BriskoHTMLEditor3.5.ini"
}
