#!/usr/bin/env bash
# Checks the RTF writer against LibreOffice: each RTF file of tests/richtext/fixtures/ is read by our reader and
# written again by our writer (rtf_rewrite), and LibreOffice converts both the file and our RTF to text and to
# HTML. The texts must be the same, and so must what the HTML shows of each paragraph: alignment, indents, list
# items, and each run's font, size, bold, italic, underline, strikethrough, super/subscript and colours. Spacing
# above and below paragraphs is left out: LibreOffice's HTML omits the spacing a heading style gives.
# Needs soffice (Debian's libreoffice-writer-nogui); not run by ./test.sh. Argument: the build folder (build/).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
if ! command -v soffice >/dev/null; then
    echo "soffice is not installed (apt-get install --no-install-recommends libreoffice-writer-nogui)" >&2
    exit 2
fi
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target rtf_rewrite >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
names=()
for fixture in tests/richtext/fixtures/*.rtf; do
    name="$(basename "$fixture" .rtf)"
    names+=("$name")
    cp "$fixture" "$work/$name.rtf"
    QT_QPA_PLATFORM=offscreen "$build/tests/richtext/rtf_rewrite" "$fixture" 1252 >"$work/$name.ours.rtf" 2>/dev/null
done
# A profile of its own, so that a running LibreOffice neither serves the conversion nor is disturbed by it.
office=(soffice "-env:UserInstallation=file://$work/profile" --headless)
"${office[@]}" --convert-to "txt:Text (encoded):UTF8" --outdir "$work" "$work"/*.rtf >/dev/null 2>&1
"${office[@]}" --convert-to html --outdir "$work" "$work"/*.rtf >/dev/null 2>&1

/usr/bin/python3 - "$work" "${names[@]}" <<'EOF'
import html.parser, re, sys

def css(text):
    return {k.strip().lower(): v.strip() for k, v in
            (item.split(':', 1) for item in (text or '').split(';') if ':' in item)}

class Summary(html.parser.HTMLParser):
    """What LibreOffice's HTML shows: per paragraph its format and runs of (text, format)."""
    blocks = {'p', 'h1', 'h2', 'h3', 'h4', 'h5', 'h6'}
    voids = {'br', 'img', 'meta', 'link', 'hr', 'col'}

    def __init__(self):
        super().__init__()
        self.rules, self.stack, self.paragraphs, self.in_style = {}, [], [], False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == 'style':
            self.in_style = True
        if tag in self.voids:
            if tag == 'br' and self.paragraphs:
                self.paragraphs[-1]['runs'].append(('\n', None))
            return
        props = {}
        if tag in self.blocks or tag == 'li':
            for selector in (tag, tag + '.' + attrs.get('class', '')):
                props.update(self.rules.get(selector, {}))
        props.update(css(attrs.get('style')))
        if tag == 'font':
            if 'face' in attrs:
                props['font-family'] = attrs['face']
            if 'color' in attrs:
                props['color'] = attrs['color']
        props.update({'b': {'font-weight': 'bold'}, 'strong': {'font-weight': 'bold'}, 'i': {'font-style': 'italic'},
                      'em': {'font-style': 'italic'}, 'u': {'text-decoration': 'underline'},
                      'strike': {'text-decoration': 'line-through'}, 's': {'text-decoration': 'line-through'},
                      'sup': {'vertical': 'sup'}, 'sub': {'vertical': 'sub'}}.get(tag, {}))
        if 'align' in attrs:
            props['text-align'] = attrs['align']
        self.stack.append((tag, props))
        if tag in self.blocks:
            lists = [t for t, _ in self.stack if t in ('ul', 'ol')]
            block = self.effective(('text-align', 'margin-left', 'margin-right', 'text-indent'))
            if block.get('text-align') == 'left':
                del block['text-align']
            block['list'] = lists[-1] if lists else ''
            self.paragraphs.append({'format': block, 'runs': []})

    def handle_endtag(self, tag):
        if tag == 'style':
            self.in_style = False
        while self.stack:
            if self.stack.pop()[0] == tag:
                break

    def effective(self, names):
        result = {}
        for _, props in self.stack:
            for name in names:
                if name in props:
                    value = props[name]
                    if name == 'text-decoration':
                        # Decorations of the enclosing elements are drawn across their content whatever it says.
                        value = ' '.join(sorted(set(result.get(name, '').split()) | set(value.split()) - {'none'}))
                    result[name] = value
        return result

    def handle_data(self, data):
        if self.in_style:
            for selectors, body in re.findall(r'([^{}]+)\{([^}]*)\}', data):
                for selector in selectors.split(','):
                    self.rules.setdefault(selector.strip(), {}).update(css(body))
            return
        if not self.paragraphs or not any(t in self.blocks for t, _ in self.stack):
            return
        f = self.effective(('font-family', 'font-size', 'font-weight', 'font-style', 'text-decoration', 'color',
                            'background', 'vertical'))
        family = f.get('font-family', '').split(',')[0].strip().strip('"\'')
        weight = f.get('font-weight', 'normal')
        color = f.get('color', '').lower()
        background = f.get('background', '').lower()
        run = (family, f.get('font-size', ''), weight == 'bold' or (weight.isdigit() and int(weight) >= 600),
               f.get('font-style') == 'italic', 'underline' in f.get('text-decoration', ''),
               'line-through' in f.get('text-decoration', ''), f.get('vertical', ''),
               '' if color in ('', '#000000') else color, '' if background in ('', 'transparent') else background)
        self.paragraphs[-1]['runs'].append((data, run))

    def result(self):
        out = []
        for paragraph in self.paragraphs:
            runs = []
            for text, run in paragraph['runs']:
                text = re.sub(r'[ \t\r\n]+', ' ', text)
                if runs and (run == runs[-1][1] or not text.strip() or run is None):
                    runs[-1][0] += text
                elif run is None or not text.strip():
                    runs.append([text, None])
                else:
                    runs.append([text, run])
            runs = [(t.strip(' '), r) for t, r in runs if t.strip(' ')]
            out.append((sorted(paragraph['format'].items()), runs))
        return out

def summary(path):
    parser = Summary()
    with open(path, encoding='utf-8') as f:
        parser.feed(f.read())
    return parser.result()

work, names, failed = sys.argv[1], sys.argv[2:], 0
for name in names:
    problems = []
    texts = [open(f'{work}/{name}{kind}.txt', encoding='utf-8-sig').read() for kind in ('', '.ours')]
    if texts[0] != texts[1]:
        problems.append(f'text:\n  theirs {texts[0]!r}\n  ours   {texts[1]!r}')
    theirs, ours = summary(f'{work}/{name}.html'), summary(f'{work}/{name}.ours.html')
    if len(theirs) != len(ours):
        problems.append(f'{len(theirs)} paragraphs in the file, {len(ours)} in ours')
    for n, (a, b) in enumerate(zip(theirs, ours)):
        if a != b:
            problems.append(f'paragraph {n + 1}:\n  theirs {a}\n  ours   {b}')
    print(f'{name}: ' + ('same' if not problems else 'DIFFERENT\n' + '\n'.join(problems)))
    failed += bool(problems)
print(f'{len(names) - failed} passed, {failed} failed')
sys.exit(1 if failed else 0)
EOF
