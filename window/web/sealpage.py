#!/usr/bin/env python3
"""Writes the one self-contained page: the program's script inlined, its wasm embedded as the
bytes the script compiles, the label's font embedded, and the Content-Security-Policy that lets
the page run its own script and style and reach nothing else.

Usage: sealpage.py PAGE.html SCRIPT.js PROGRAM.wasm FONT.woff2 ICON.svg DESIGN.h OUTPUT.html
"""
import base64
import hashlib
import re
import sys


def source_hashes(html, tag):
    """Of the elements that run: a data block (a script element with a type) is never run."""
    blocks = re.findall(rf"<{tag}>(.*?)</{tag}>", html, flags=re.S)
    return " ".join(
        "'sha256-%s'" % base64.b64encode(hashlib.sha256(block.encode()).digest()).decode()
        for block in blocks)


def design_colour(design, name):
    """A colour of the game's design, as CSS writes it."""
    with open(design, encoding="utf-8") as f:
        red, green, blue = re.search(rf"\b{name} = rgb\((\d+), (\d+), (\d+)\)", f.read()).groups()
    return "#%02x%02x%02x" % (int(red), int(green), int(blue))


def main(template, script, wasm, font, icon, design, output):
    with open(template, encoding="utf-8") as f:
        html = f.read()
    with open(script, encoding="utf-8") as f:
        code = f.read()
    if "</script" in code.lower():
        sys.exit(f"{script} would end its own script element")
    with open(wasm, "rb") as f:
        program = base64.b64encode(f.read()).decode()
    html = html.replace("@SCRIPT@", f'<script type="application/octet-stream" id="zintu-program">'
                        f"{program}</script>\n<script>{code}</script>")
    html = html.replace("@THEME_COLOUR@", design_colour(design, "formBackColor"))
    with open(font, "rb") as f:
        html = html.replace("@LABEL_FONT@", base64.b64encode(f.read()).decode())
    # The program's icon inlined too: else the browser asks the host for a favicon.
    with open(icon, "rb") as f:
        html = html.replace("@ICON@", base64.b64encode(f.read()).decode())
    # The playback timer runs in a worker made from a blob of the page's own script; the wasm is
    # compiled from the bytes embedded in the page.
    policy = "; ".join([
        "default-src 'none'",
        f"script-src {source_hashes(html, 'script')} 'wasm-unsafe-eval'",
        f"style-src {source_hashes(html, 'style')}",
        "font-src data:",
        "img-src data:",
        "worker-src blob:",
        "base-uri 'none'",
        "form-action 'none'",
    ])
    html = html.replace("@CONTENT_SECURITY_POLICY@", policy)
    with open(output, "w", encoding="utf-8") as f:
        f.write(html)


if __name__ == "__main__":
    main(*sys.argv[1:])
