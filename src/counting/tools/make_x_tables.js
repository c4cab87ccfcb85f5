// Writes src/counting/x_tables.inc from the npm packages twitter-text and twemoji-parser (the
// library X's clients count with, and the emoji pattern it uses): the weights, the limits, which
// code units each part of a link may hold, the top-level domains in the order the library tries
// them, and every emoji sequence its pattern matches, with that pattern's preference among them.
// The program carries these as source: it runs no script engine.
//
//   node make_x_tables.js write FILE NODE_MODULES   regenerate the committed file
//   node make_x_tables.js check FILE NODE_MODULES   exit 1 when FILE differs from what the
//                                                   installed packages give
//
// The program follows the structure of the library's link pattern, not just its tables, so the
// structure is checked here too: a package whose pattern is built otherwise stops the generator.
'use strict';

const fs = require('fs');
const path = require('path');
const { createRequire } = require('module');

function fail(why) {
  process.stderr.write(`make_x_tables: ${why}\n`);
  process.exit(2);
}
function expect(condition, what) {
  if (!condition) fail(`the installed package no longer matches what the program follows: ${what}`);
}

const [mode, file, modules] = process.argv.slice(2);
if (!['write', 'check'].includes(mode) || !file || !modules) {
  fail('usage: node make_x_tables.js write|check FILE NODE_MODULES');
}
const load = createRequire(path.join(path.resolve(modules), 'noop.js'));
const twitterText = load('twitter-text');
const emojiPattern = load('twemoji-parser/dist/lib/regex').default;
const ttVersion = load('twitter-text/package.json').version;
const emojiVersion = load('twemoji-parser/package.json').version;
const re = twitterText.regexen;
const source = (name) => fs.readFileSync(load.resolve(`twitter-text/dist/${name}.js`), 'utf8');
const constant = (file, name) => {
  const m = new RegExp(`var ${name} = (\\d+);`).exec(source(file));
  expect(m, `${name} in ${file}`);
  return Number(m[1]);
};

// The weights of version 3, which the library uses by default.
const config = twitterText.configs.defaults;
expect(config.version === 3 && config.emojiParsingEnabled, 'default configuration is version 3');
expect(config.defaultWeight === 2 * config.scale, 'default weight 2');
expect(config.ranges.every((r) => r.weight === config.scale), 'light ranges weigh 1');

// The link pattern, as the program reads it.
const s = (r) => r.source;
expect(re.extractUrl.flags === 'gi', 'link pattern flags');
expect(
  s(re.extractUrl) ===
    `((${s(re.validUrlPrecedingChars)})((https?:\\/\\/)?(${s(re.validDomain)})(?::(${s(re.validPortNumber)}))?` +
      `(\\/${s(re.validUrlPath)}*)?(\\?${s(re.validUrlQueryChars)}*${s(re.validUrlQueryEndingChars)})?))`,
  'link pattern structure',
);
const tldSources = [s(re.validGTLD), s(re.validCCTLD)].map((src) => {
  const m = /^\(\?:\(\?:(.*)\)\(\?=(\[\^[^\]]*\])\|\$\)\)$/.exec(src);
  expect(m, 'top-level domain pattern');
  return m;
});
expect(tldSources[0][2] === tldSources[1][2], 'one look-ahead after every top-level domain');
expect(
  s(re.validDomain) ===
    `(?:${s(re.validSubdomain)}*${s(re.validDomainName)}(?:${s(re.validGTLD)}|${s(re.validCCTLD)}|${s(re.validPunycode)}))`,
  'domain structure',
);
const dc = s(re.validDomainChars);
expect(s(re.validSubdomain) === `(?:(?:${dc}(?:[_-]|${dc})*)?${dc}\\.)`, 'subdomain label');
expect(s(re.validDomainName) === `(?:(?:${dc}(?:-|${dc})*)?${dc}\\.)`, 'domain name label');
const punycode = /^\(\?:xn--(\[[^\]]*\])\+\)$/.exec(s(re.validPunycode));
expect(punycode, 'punycode top-level domain');
const gp = s(re.validGeneralUrlPathChars);
const parens = `\\((?:${gp}+|(?:${gp}*\\(${gp}+\\)${gp}*))\\)`;
expect(s(re.validUrlBalancedParens) === parens, 'balanced parentheses');
const ending = /^(\[[^\]]*\])\|\(\?:(.*)\)$/.exec(s(re.validUrlPathEndingChars));
expect(ending && ending[2] === parens, 'path ending');
expect(
  s(re.validUrlPath) ===
    `(?:(?:${gp}*(?:${s(re.validUrlBalancedParens)}${gp}*)*${s(re.validUrlPathEndingChars)})|(?:@${gp}+\\/))`,
  'path structure',
);
const asciiDomain = /^\(\?:\(\?:(\[[^\]]*\])\+\)\\\.\)\+\(\?:(.*)\)$/.exec(s(re.validAsciiDomain));
expect(asciiDomain, 'ASCII domain');
expect(
  asciiDomain[2] === `${s(re.validGTLD)}|${s(re.validCCTLD)}|${s(re.validPunycode)}` &&
    re.validAsciiDomain.flags === 'gi',
  'ASCII domain top-level domains',
);
expect(
  s(re.validTcoUrl) ===
    `^https?:\\/\\/t\\.co\\/([a-z0-9]+)(?:\\?${s(re.validUrlQueryChars)}*${s(re.validUrlQueryEndingChars)})?` &&
    re.validTcoUrl.flags === 'i',
  't.co pattern',
);
expect(s(re.invalidUrlWithoutProtocolPrecedingChars) === '[-_.\\/]$', 'character before a link without a scheme');
const linkCode = source('extractUrlsWithIndices');
for (const piece of [
  "var DEFAULT_PROTOCOL = 'https://';",
  'extractUrlsWithoutProtocol: true',
  'var asciiStartPosition = domain.indexOf(asciiDomain, asciiEndPosition);',
  'lastUrl.indices[1] = endPosition;',
  'return protocol.length + urlLength <= MAX_URL_LENGTH;',
]) {
  expect(linkCode.includes(piece), `extractUrlsWithIndices: ${piece}`);
}
const idnaCode = source('lib/idna');
expect(idnaCode.includes("domain.split('.')") && idnaCode.includes('return labels.join'), 'idna labels');

// What each BMP code unit may be, tested against the library's own patterns with their flags.
const classes = [
  ['kXDomain', `^${dc}$`, 'i'],
  ['kXPath', `^${gp}$`, 'i'],
  ['kXPathEnd', `^${ending[1]}$`, 'i'],
  ['kXQuery', `^${s(re.validUrlQueryChars)}$`, 'i'],
  ['kXQueryEnd', `^${s(re.validUrlQueryEndingChars)}$`, 'i'],
  ['kXAsciiLabel', `^${asciiDomain[1]}$`, 'i'],
  ['kXPreceding', `^(?:${s(re.validUrlPrecedingChars)})$`, 'i'],
  ['kXPort', `^${s(re.validPortNumber)}$`, 'i'],
  ['kXPunycode', `^${punycode[1]}$`, 'i'],
  ['kXAfterTld', `^${tldSources[0][2]}$`, 'i'],
  ['kXNoSchemeAfter', s(re.invalidUrlWithoutProtocolPrecedingChars), ''],
  ['kXTcoSlug', '^[a-z0-9]$', 'i'],
];
const patterns = classes.map(([, src, flags]) => new RegExp(src, flags));
const runs = [];
let previous = -1;
for (let u = 0; u <= 0xffff; ++u) {
  const ch = String.fromCharCode(u);
  let bits = 0;
  patterns.forEach((p, i) => {
    if (p.test(ch)) bits |= 1 << i;
  });
  if (bits !== previous) runs.push((u << 16) | bits);
  previous = bits;
}
// The program relies on these: a path ending is a path character, as is a query ending.
for (let u = 0; u <= 0xffff; ++u) {
  const ch = String.fromCharCode(u);
  if (patterns[2].test(ch)) expect(patterns[1].test(ch), 'path endings are path characters');
  if (patterns[4].test(ch)) expect(patterns[3].test(ch), 'query endings are query characters');
}

// Top-level domains, folded as a case-insensitive pattern without the u flag compares them.
function canonical(ch) {
  const upper = ch.toUpperCase();
  if (upper.length !== 1) return ch;
  if (ch.charCodeAt(0) >= 128 && upper.charCodeAt(0) < 128) return ch;
  return upper;
}
const fold = (ch) => (ch.charCodeAt(0) < 128 ? ch.toLowerCase() : canonical(ch));
const tlds = tldSources.flatMap((m) => m[1].split('|')).map((t) => [...t].map(fold).join(''));
expect(tlds.every((t) => t.length > 0 && !/[\\()[\]|?*+.]/.test(t)), 'top-level domains are plain');
const tldUnits = new Set(tlds.join(''));
const foldPairs = [];
for (let u = 128; u <= 0xffff; ++u) {
  const ch = String.fromCharCode(u);
  const f = fold(ch);
  if (f !== ch && tldUnits.has(f)) foldPairs.push([u, f.charCodeAt(0)]);
}
for (const c of tldUnits) expect(fold(c) === c, 'folding is idempotent');

// Every string the emoji pattern matches, in the order the pattern prefers them (its
// alternatives in order, an optional part first with it, then without), each with whether it
// must not be followed by U+FE0E.
function parseEmojiPattern(src) {
  let i = 0;
  const peek = () => src[i];
  const unit = (inClass = false) => {
    if (src[i] === '\\') {
      const m = /^\\u([0-9a-fA-F]{4})/.exec(src.slice(i));
      expect(m, `emoji pattern escape at ${i}`);
      i += 6;
      return String.fromCharCode(parseInt(m[1], 16));
    }
    expect(inClass || !'()[]|?*+{}.^$'.includes(src[i]), `emoji pattern character ${src[i]}`);
    return src[i++];
  };
  function alternation() {
    const alts = [sequence()];
    while (peek() === '|') {
      ++i;
      alts.push(sequence());
    }
    return { kind: 'alt', alts };
  }
  function sequence() {
    const items = [];
    while (i < src.length && peek() !== '|' && peek() !== ')') {
      let atom;
      if (peek() === '(') {
        ++i;
        let lookahead = false;
        if (src.startsWith('?:', i)) i += 2;
        else if (src.startsWith('?!', i)) (i += 2), (lookahead = true);
        const inner = alternation();
        expect(peek() === ')', 'emoji pattern group');
        ++i;
        if (lookahead) {
          expect(inner.alts.length === 1 && inner.alts[0].items.length === 1, 'emoji look-ahead');
          const only = inner.alts[0].items[0];
          expect(only.kind === 'units' && only.units.length === 1 && only.units[0] === '\ufe0e', 'look-ahead is U+FE0E');
          atom = { kind: 'notFe0e' };
        } else {
          atom = inner;
        }
      } else if (peek() === '[') {
        ++i;
        expect(peek() !== '^', 'emoji pattern negated class');
        const units = [];
        while (peek() !== ']') {
          const first = unit(true);
          if (peek() === '-' && src[i + 1] !== ']') {
            ++i;
            const last = unit(true);
            for (let c = first.charCodeAt(0); c <= last.charCodeAt(0); ++c) units.push(String.fromCharCode(c));
          } else {
            units.push(first);
          }
        }
        ++i;
        atom = { kind: 'units', units };
      } else {
        atom = { kind: 'units', units: [unit()] };
      }
      if (peek() === '?') {
        ++i;
        atom = { kind: 'optional', atom };
      }
      expect(!'*+{'.includes(peek()), 'emoji pattern repetition');
      items.push(atom);
    }
    return { kind: 'seq', items };
  }
  const tree = alternation();
  expect(i === src.length, 'emoji pattern end');
  return tree;
}
function enumerate(node) {
  switch (node.kind) {
    case 'alt':
      return node.alts.flatMap(enumerate);
    case 'units':
      return node.units.map((u) => ({ s: u, la: [] }));
    case 'optional':
      return [...enumerate(node.atom), { s: '', la: [] }];
    case 'notFe0e':
      return [{ s: '', la: [0] }];
    case 'seq': {
      let paths = [{ s: '', la: [] }];
      for (const item of node.items) {
        const next = [];
        const options = enumerate(item);
        for (const p of paths) {
          for (const q of options) next.push({ s: p.s + q.s, la: [...p.la, ...q.la.map((o) => o + p.s.length)] });
        }
        paths = next;
      }
      return paths;
    }
  }
  return fail('emoji pattern node');
}
expect(emojiPattern.flags === 'g', 'emoji pattern flags');
const emoji = [];
const seen = new Set();
for (const p of enumerate(parseEmojiPattern(emojiPattern.source))) {
  let notBeforeFe0e = false;
  let possible = p.s.length > 0;
  for (const o of p.la) {
    if (o === p.s.length) notBeforeFe0e = true;
    else if (p.s[o] === '\ufe0e') possible = false;
  }
  const key = `${notBeforeFe0e ? 1 : 0}${p.s}`;
  if (possible && !seen.has(key)) {
    seen.add(key);
    emoji.push([p.s, notBeforeFe0e]);
  }
}

// The C++ source.
const hex = (n, w) => n.toString(16).toUpperCase().padStart(w, '0');
const literal = (str) =>
  /^[a-z0-9-]*$/.test(str) ? `u"${str}"` : `u"${[...Array(str.length).keys()].map((k) => `\\x${hex(str.charCodeAt(k), 4)}`).join('')}"`;
function lines(items) {
  const out = [];
  let line = '';
  for (const item of items) {
    if (line && line.length + item.length + 2 > 100) out.push(line.trimEnd()), (line = '');
    line += `${line ? '' : '    '}${item}, `;
  }
  if (line) out.push(line.trimEnd());
  return out.join('\n');
}
const text = [
  `// Made by tools/make_x_tables.js from the npm packages twitter-text ${ttVersion} and twemoji-parser`,
  `// ${emojiVersion}; do not edit. twitter-text: Copyright Twitter, Inc., Apache License 2.0;`,
  '// twemoji-parser: Copyright Twitter Inc., MIT License.',
  `inline constexpr char kXTablesSource[] = "twitter-text ${ttVersion}, twemoji-parser ${emojiVersion}";`,
  `inline constexpr int64_t kXLinkWeight = ${config.transformedURLLength};`,
  `inline constexpr int64_t kXEmojiWeight = ${config.defaultWeight / config.scale};`,
  `inline constexpr std::size_t kXMaxLinkLength = ${constant('extractUrlsWithIndices', 'MAX_URL_LENGTH')};`,
  `inline constexpr std::size_t kXMaxTcoSlug = ${constant('extractUrlsWithIndices', 'MAX_TCO_SLUG_LENGTH')};`,
  `inline constexpr std::size_t kXMaxLabel = ${constant('lib/idna', 'MAX_DOMAIN_LABEL_LENGTH')};`,
  '// Code points that weigh 1; every other weighs 2.',
  'inline constexpr char32_t kXLightRanges[][2] = {',
  lines(config.ranges.map((r) => `{0x${hex(r.start, 4)}, 0x${hex(r.end, 4)}}`)),
  '};',
  '// What a BMP code unit may be in a link, one bit each. Each entry: first code unit << 16 | bits;',
  '// a run lasts until the next entry.',
  ...classes.map(([name], k) => `inline constexpr uint16_t ${name} = 1 << ${k};`),
  'inline constexpr uint32_t kXUnitRuns[] = {',
  lines(runs.map((r) => `0x${hex(r >>> 0, 8)}`)),
  '};',
  '// Top-level domains in the order the library tries them, folded: ASCII to lower case, other',
  '// code units as kXFold says.',
  'inline constexpr std::u16string_view kXTlds[] = {',
  lines(tlds.map(literal)),
  '};',
  'inline constexpr char16_t kXFold[][2] = {',
  lines(foldPairs.map(([a, b]) => `{0x${hex(a, 4)}, 0x${hex(b, 4)}}`)),
  '};',
  '// Emoji sequences, preferred first; true: only when U+FE0E does not follow.',
  'struct XEmojiSequence {',
  '    std::u16string_view units;',
  '    bool notBeforeFe0e;',
  '};',
  'inline constexpr XEmojiSequence kXEmoji[] = {',
  lines(emoji.map(([str, la]) => `{${literal(str)}, ${la}}`)),
  '};',
  '',
].join('\n');

if (mode === 'write') {
  fs.writeFileSync(file, text);
} else {
  const committed = fs.existsSync(file) ? fs.readFileSync(file, 'utf8') : '';
  if (committed !== text) {
    process.stderr.write(
      `${file} differs from what twitter-text ${ttVersion} and twemoji-parser ${emojiVersion} give: ` +
        `run make_x_tables.js write and review the change of rules it brings\n`,
    );
    process.exit(1);
  }
}
