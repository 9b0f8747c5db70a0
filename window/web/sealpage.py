#!/usr/bin/env python3
"""Writes the one self-contained page: the program's script inlined, its wasm embedded in hex as
the bytes the script compiles, the label's font embedded, and the Content-Security-Policy that lets
the page run its own script and style and reach nothing else.

With an APP_FOLDER it also writes the installable web app there: the same page as its index,
which links its manifest and registers a service worker, the manifest, the icons drawn from
ICON.svg, and the service worker that keeps exactly these files for offline play.

Usage: sealpage.py PAGE.html SCRIPT.js PROGRAM.wasm FONT.woff2 ICON.svg DESIGN.h OUTPUT.html
                   [APP_FOLDER SERVICE_WORKER.js]
"""
import base64
import hashlib
import json
import os
import re
import subprocess
import sys

# The page's own description, for search engines and the app's manifest alike.
DESCRIPTION = ("Zintu! is a memory game: four coloured pads light up in a pattern that grows by "
               "one each level, and you click it back.")
# Its share of the icon's width that a maskable icon's safe circle holds whole: the pads' square
# reaches 0.55 of the width from the middle, the circle 0.4.
MASKABLE_SCALE = 0.72
ICON_SIZES = (192, 512)
# The favicon's pixels: a tab's 16 at twice the resolution.
FAVICON_SIZE = 32
# Where the browser refuses a service worker the game plays all the same. After each visit's
# start the browser asks the host whether sw.js changed since the copy in its HTTP cache, by that
# copy's date: a host that answers by date says "not modified" to a rollback, whose sw.js is
# older than the copy, and the rollback would never install. Fetched past that copy at once, while
# the browser waits a moment before its check, the copy is the host's sw.js whatever its date.
REGISTER_WORKER = (
    "if ('serviceWorker' in navigator) {"
    " fetch('sw.js', { cache: 'reload' }).catch(function () {});"
    " addEventListener('load', function () {"
    " navigator.serviceWorker.register('sw.js').catch(function () {}); }); }")
# The grey the game's window stands on: the page's, and the installed app's while it starts.
PAGE_COLOUR = "#d9d9d9"


def source_hashes(html, tag):
    """Of the elements that run: a data block (a script element with a type) is never run."""
    blocks = re.findall(rf"<{tag}>(.*?)</{tag}>", html, flags=re.S)
    return " ".join(
        "'sha256-%s'" % base64.b64encode(hashlib.sha256(block.encode()).digest()).decode()
        for block in blocks)


def found_in(path, pattern):
    """The groups of the pattern's first match in the file."""
    with open(path, encoding="utf-8") as f:
        return re.search(pattern, f.read()).groups()


def design_colour(design, name):
    """A colour of the game's design, as CSS writes it."""
    red, green, blue = found_in(design, rf"\b{name} = rgb\((\d+), (\d+), (\d+)\)")
    return "#%02x%02x%02x" % (int(red), int(green), int(blue))


def read(path, mode="r"):
    with open(path, mode, **({} if "b" in mode else {"encoding": "utf-8"})) as f:
        return f.read()


def write(path, content):
    with open(path, "wb" if isinstance(content, bytes) else "w",
              **({} if isinstance(content, bytes) else {"encoding": "utf-8"})) as f:
        f.write(content)


def sealed(html, app):
    """The page with its policy. The app's page may also read its manifest, its icons and its
    service worker from its own folder."""
    if app:
        html = html.replace("@APP_HEAD@", '<link rel="manifest" href="manifest.webmanifest">')
        # Where the browser refuses a service worker the game plays all the same.
        html = html.replace("@APP_SCRIPT@", f"<script>{REGISTER_WORKER}</script>")
    else:
        html = html.replace("@APP_HEAD@\n", "").replace("@APP_SCRIPT@\n", "")
    own = " 'self'" if app else ""
    # The playback timer runs in a worker made from a blob of the page's own script; the wasm is
    # compiled from the bytes embedded in the page. The page connects nowhere, but a tool that
    # reads the host's robots.txt from inside it, as Lighthouse does, needs its own origin.
    policy = "; ".join([
        "default-src 'none'",
        "connect-src 'self'",
        f"script-src {source_hashes(html, 'script')} 'wasm-unsafe-eval'",
        f"style-src {source_hashes(html, 'style')}",
        "font-src data:",
        f"img-src data:{own}",
        f"worker-src blob:{own}",
        *([f"manifest-src{own}"] if app else []),
        "base-uri 'none'",
        "form-action 'none'",
    ])
    return html.replace("@CONTENT_SECURITY_POLICY@", policy)


def maskable(svg, orange):
    """The icon on a full square of the form's orange, shrunk into the safe circle."""
    inner = svg[svg.index(">", svg.index("<svg")) + 1:svg.rindex("</svg>")]
    width, height = re.search(r'viewBox="0 0 (\d+) (\d+)"', svg).groups()
    middle_x, middle_y = int(width) / 2, int(height) / 2
    return (f'<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 {width} {height}">'
            f'<rect width="{width}" height="{height}" fill="{orange}"/>'
            f'<g transform="translate({middle_x} {middle_y}) scale({MASKABLE_SCALE}) '
            f'translate({-middle_x} {-middle_y})">{inner}</g></svg>')


def png(svg, size):
    """The SVG drawn as a square PNG of that many pixels."""
    return subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size)], input=svg.encode(),
                          check=True, capture_output=True).stdout


def write_app(folder, html, svg, design, service_worker):
    os.makedirs(folder, exist_ok=True)
    orange = design_colour(design, "formBackColor")
    (name,) = found_in(design, r'\bformCaption = "([^"]*)";')
    write(os.path.join(folder, "index.html"), sealed(html, app=True))
    write(os.path.join(folder, "zintu.svg"), svg)
    icons = [{"src": "zintu.svg", "sizes": "any", "type": "image/svg+xml", "purpose": "any"}]
    for size in ICON_SIZES:
        write(os.path.join(folder, f"zintu-{size}.png"), png(svg, size))
        icons.append({"src": f"zintu-{size}.png", "sizes": f"{size}x{size}", "type": "image/png",
                      "purpose": "any"})
    size = ICON_SIZES[-1]
    write(os.path.join(folder, f"zintu-maskable-{size}.png"), png(maskable(svg, orange), size))
    icons.append({"src": f"zintu-maskable-{size}.png", "sizes": f"{size}x{size}",
                  "type": "image/png", "purpose": "maskable"})
    # The id names the installed app whatever a later version's start page: its own folder.
    manifest = {"id": "./", "name": name, "short_name": name, "description": DESCRIPTION,
                "start_url": "./", "scope": "./", "display": "standalone",
                "theme_color": orange, "background_color": PAGE_COLOUR, "icons": icons}
    write(os.path.join(folder, "manifest.webmanifest"), json.dumps(manifest, indent=2) + "\n")
    write_worker(folder, service_worker)


def write_worker(folder, service_worker):
    """The service worker of the app in the folder, which keeps its page, its manifest and the
    icons the manifest names. The version names the cache: any change to any file gives the next
    visit a new one. Each file's digest goes with its request as subresource integrity, so that
    a version installs only whole."""
    with open(os.path.join(folder, "manifest.webmanifest"), encoding="utf-8") as f:
        icons = [icon["src"] for icon in json.load(f)["icons"]]
    files = ["index.html", "manifest.webmanifest"] + icons
    contents = {file: read(os.path.join(folder, file), "rb") for file in files}
    version = hashlib.sha256(b"".join(contents.values())).hexdigest()[:16]
    digests = {file: "sha256-" + base64.b64encode(hashlib.sha256(content).digest()).decode()
               for file, content in contents.items()}
    # The folder's own address serves its index.
    digests = {"./": digests["index.html"], **digests}
    worker = read(service_worker).replace("@VERSION@", version)
    worker = worker.replace("@FILES@", json.dumps(digests, indent=2))
    write(os.path.join(folder, "sw.js"), worker)


def main(template, script, wasm, font, icon, design, output, app_folder=None,
         service_worker=None):
    html = read(template)
    code = read(script)
    if "</script" in code.lower():
        sys.exit(f"{script} would end its own script element")
    # In hex, not base64: each byte stays two characters, so that gzip finds in the text the
    # repeats it finds in the bytes: the page gzips 3 kB smaller.
    program = read(wasm, "rb").hex()
    html = html.replace("@SCRIPT@", f'<script type="application/octet-stream" id="zintu-program">'
                        f"{program}</script>\n<script>{code}</script>")
    html = html.replace("@DESCRIPTION@", DESCRIPTION)
    html = html.replace("@THEME_COLOUR@", design_colour(design, "formBackColor"))
    html = html.replace("@PAGE_COLOUR@", PAGE_COLOUR)
    html = html.replace("@LABEL_FONT@", base64.b64encode(read(font, "rb")).decode())
    # The program's icon inlined too: else the browser asks the host for a favicon. As a small
    # PNG: an SVG favicon costs the page a document of its own, built on its main thread.
    svg = read(icon)
    html = html.replace("@ICON@", base64.b64encode(png(svg, FAVICON_SIZE)).decode())
    write(output, sealed(html, app=False))
    if app_folder:
        write_app(app_folder, html, svg, design, service_worker)


if __name__ == "__main__":
    main(*sys.argv[1:])
