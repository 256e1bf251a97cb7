"""Short pages that reach the corners of the parser, the layout, the
converter and the link handling; written to scratch files for each run.
Each is (file name, bytes). Pages that link to each other do so by these
file names."""

import os

WORDS = b"one two three four five six seven eight nine ten eleven twelve " * 4


def _utf16(text):
    return b"\xff\xfe" + text.encode("utf-16-le")


PAGES = [
    ("unclosed.html", b"<html><body><p>open <b>bold <i>both</p> after <table><tr><td>cell"),
    ("stray-ends.html", b"</p></div></td></table>text</b></i></a> more</body></html>tail"),
    ("broken-tags.html", b"a <b<i>c</i> d < e > f <!-- open comment <p>hidden? -- > -->g <!x> h"),
    ("broken-attributes.html",
     b"<p align=\"center>unquoted</p><font color='#ff0000 size=3>red?</font>"
     b"<a href=\"x.html\" href='y.html' name=>dup</a><p align=>empty</p>"),
    ("anchors.html",
     b"<title>Anchors</title><a href=#bottom>down</a> <a href=#middle>middle</a> "
     b"<a href=#missing>nowhere</a> <a href=\"#\">empty</a><br>" + b"<br>filler " * 40 +
     b"<a name=middle>middle</a>" + b"<br>filler" * 40 + b"<a name=bottom></a>end"),
    ("link-across-lines.html",
     b"<title>Wrapped link</title><p>" + WORDS[:70] + b"<a href=\"#far\">" + WORDS +
     b"</a> after<pre>" + b"\n" * 30 + b"</pre><a name=far>far</a>"),
    ("links-between.html",
     b"<title>Links between</title><a href=\"anchors.html\">anchors</a> "
     b"<a href=\"anchors.html#bottom\">anchors bottom</a> <a href=\"missing-page.html\">gone</a> "
     b"<a href=\"link-across-lines.html#far\">far</a> <a href=\"image.png\">not a page</a> "
     b"<a href=\"mailto:someone@example.com\">mail</a> <a href=\"http://example.com/\">web</a> "
     b"<a href=\"./\">folder</a> <a href=\"links-between.html\">itself</a>"),
    ("pre-tabs.html",
     b"<pre>a\tb\tc\n\tindented\n12345678\tnine\n\t\t\ttab tab tab\r\nCRLF\rCR only</pre>"
     b"<xmp>\t<b>raw</b>\t</xmp><listing>list\ting</listing><plaintext>plain <b>to the end"),
    ("alignment.html",
     b"<p align=center>centred " + WORDS + b"</p><p align=right>right " + WORDS +
     b"</p><center>in centre<p align=left>left inside centre</p></center>"
     b"<div align=right><ul><li>right item</ul></div><h1 align=center>Head</h1>"),
    ("colours.html",
     b"<body bgcolor=navy text=#c0c0c0 link=yellow alink=lime vlink=red>"
     b"<font color=red>red</font> <font color=#00FF00>green</font> <font color=bogus>bogus</font>"
     b" <font color=\"#12345\">short</font> <font color=Fuchsia>named</font>"
     b" <a href=#x><font color=white>white link</font></a> <b><font color=olive>ol</b>ive</font>"
     b"<a name=x></a>"),
    ("entities.html",
     b"&amp; &lt;&gt; &quot; &copy; &reg; &frac12; &nbsp;x &mdash; &hellip; &euro; &rarr; "
     b"&#65; &#x42; &#X43 &#0; &#128; &#150; &#xD800; &#1114112; &#99999999999; &bogus; "
     b"&amp &ampx AT&T &; &#; &#x; &eacute&eacute; &Eacute; &szlig; &yuml; &thetasym;"),
    ("utf8-meta.html",
     "<meta charset=utf-8><title>Caf\u00e9 \u2014 \u00fcber</title>"
     "<p>\u0142\u00f3d\u017a \u2018quotes\u2019 \u20ac \u200bzero width \u4e2d\u6587 "
     "\U0001F600 <a href=\"caf\u00e9.html\">caf\u00e9</a>".encode("utf-8") + b" bad \xc3( \xff\xfe end"),
    ("utf8-bom.html", b"\xef\xbb\xbf<p>" + "na\u00efve r\u00e9sum\u00e9 \u2116".encode("utf-8")),
    ("utf8-sniffed.html", "<p>no declaration, \u00e4\u00f6\u00fc \u00df".encode("utf-8")),
    ("utf8-http-equiv.html",
     b"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">" +
     "<title>\u041f\u0440\u0438\u0432\u0435\u0442</title>\u041c\u0438\u0440".encode("utf-8")),
    ("utf16-le.html", _utf16("<title>UTF-16</title><p>caf\u00e9 \u2192 \u03b1\u03b2\u03b3 "
                             "<a href=#e>e</a><a name=e>end</a>")),
    ("utf16-be.html", b"\xfe\xff" + "<p>big endian \u00e9\u00e8".encode("utf-16-be")),
    ("koi8-r.html", b"<meta charset=koi8-r><title>" + "\u0422\u0435\u0441\u0442".encode("koi8-r") +
     b"</title><p>" + "\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440".encode("koi8-r")),
    ("latin1.html", b"<meta charset=iso-8859-1><p>caf\xe9 \x80 \x93dashes\x94 \xa0nbsp"),
    ("unknown-charset.html", b"<meta charset=x-no-such-set><p>bytes \xe9\xe8 as they are"),
    ("control-bytes.html",
     b"<title>bell\x07 esc\x1b[31m</title><p>esc \x1b]0;title\x07 bell \x07 nul \x00 "
     b"del \x7f c1 \x85\x9b <a href=\"#\x1b[2J\">ctl link</a>"),
    ("odd-title.html",
     b"<title>\t spaced \n\n out \xff\xfe\x80 &amp; &lt;b&gt; " + b"long " * 40 +
     b"</title><title>second</title><p>body"),
    ("no-title.html", b"<p>Only a paragraph and <a href=\"no-title.html\">itself</a>."),
    ("empty-body.html", b"<html><head><title>Empty</title></head><body></body></html>"),
    ("blank.html", b" \n\t\n"),
    ("lists.html",
     b"<ul><li>one<li>two<ol><li>a<li>b<ul><li>deep " + WORDS + b"</ul></ol><li>three</ul>"
     b"<dl><dt>term<dd>definition " + WORDS + b"</dl><menu><li>m</menu><dir><li>d</dir>"
     b"<ol start=5 type=a><li>five</ol>"),
    ("tables.html",
     b"<table border=1 cellpadding=2 width=50%><caption>cap</caption><tr><th>h1<th>h2"
     b"<tr><td align=right>1<td bgcolor=#ffeecc nowrap>" + WORDS + b"<tr><td colspan=2>wide"
     b"<table><tr><td>nested</table></table>after"),
    ("forms.html",
     b"<form><input type=text value=\"typed\"> <input type=checkbox checked> <input type=radio>"
     b"<select><option>first<option selected>second</select><textarea>area\ntext</textarea>"
     b"<input type=submit value=Go> <button>Press</button><input type=hidden value=h></form>"),
    ("images-rules.html",
     b"<img src=a.png alt=\"alt text\"> <img src=b.png> <img alt=''> <hr> <hr width=10>"
     b" <hr width=200%> <hr size=5 noshade><br clear=all><wbr><nobr>" + WORDS + b"</nobr>"),
    ("script-style.html",
     b"<script>if (a < b && c > d) document.write('<p>no');</script>shown"
     b"<style>p { color: red; } </p></style>also <script>unclosed </scrip> still script"),
    ("whitespace.html", b"  lead\n\n\n   many    blanks\t\ttabs\r\n<p>   <p>  \n  <br><br><br> end  "),
    ("long-word.html", b"<p>" + b"x" * 500 + b" y <a href=#z>" + b"z" * 300 + b"</a><a name=z>"),
    ("headings.html", b"".join(b"<h%d>Heading %d</h%d>text " % (i, i, i) for i in range(1, 7)) +
     b"<blockquote>quoted " + WORDS + b"</blockquote><address>addr</address>"),
    ("inline-mix.html",
     b"<b>b</b><i>i</i><u>u</u><s>s</s><tt>tt</tt><sub>sub</sub><sup>sup</sup><big>big</big>"
     b"<blink>blink</blink><marquee>marquee</marquee><q>q</q><code>code</code> <kbd>k</kbd>"),
    ("nested-links.html",
     b"<a href=#a>outer <a href=#b>inner</a> rest</a> <a>no href</a> <a href=\"\">empty</a>"
     b"<a name=a>A</a><a name=b>B</a><a name=a>dup</a>"),
    ("deep.html", b"<div>" * 3000 + b"deep" + b"</div>" * 3000 + b"<ul>" * 200 + b"<li>x"),
    ("doctype-comments.html",
     b"<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\"><?xml version=\"1.0\"?>"
     b"<!-- a -- b --><!---->x<!--->y<![CDATA[z]]>w"),
    ("uppercase.HTM", b"<HTML><BODY BGCOLOR=BLACK TEXT=WHITE><P ALIGN=CENTER>UPPER <A HREF=#E>E</A>"),
    ("frameset.html", b"<frameset cols=50%,50%><frame src=a.html><noframes>no frames</noframes>"),
    ("base-href.html", b"<base href=\"http://example.com/\"><a href=\"anchors.html\">relative</a>"),
    ("caf\u00e9.html", b"<title>Caf\xe9 page</title><p>reached through a UTF-8 link"),
    # Refused with the reason on stderr: an empty page by every mode, an
    # extension the settings do not accept by every mode but --tree.
    ("empty.html", b""),
    ("notes.txt", b"<title>Notes</title><p>an extension the settings do not accept"),
]


def write_pages(folder):
    """Writes every page into folder; returns the paths, in order."""
    paths = []
    for name, data in PAGES:
        path = os.path.join(folder, name)
        with open(path, "wb") as f:
            f.write(data)
        paths.append(path)
    return paths
