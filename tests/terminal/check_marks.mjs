// Feeds the sessions tests/native/terminal_stream_test.cpp wrote to xterm.js,
// the terminal core of VS Code, and checks the marks it reads: each C right
// after the line entered (on its last character where that fills a row), E
// with that line, the screen as the console's, no C or E where marks are off.
import { readdirSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';

const { Terminal } = createRequire(import.meta.url)('@xterm/headless');
const [folder, cols, rows] = [process.argv[2], 40, 12];
const unescape = text => text.replace(/\\(\\|x([0-9a-f]{2}))/g, (_, op, hex) => (hex ? String.fromCharCode(parseInt(hex, 16)) : op));
let failures = readdirSync(folder).length ? 0 : 1;

for (const file of readdirSync(folder)) {
    const [head, screen, stream] = readFileSync(`${folder}/${file}`, 'latin1').split('\f\n');
    const [flags, ...entered] = head.slice(0, -1).split('\n');
    const [family, marksOn] = [Number(flags.slice(0, 3)), flags[3] === '1'];
    const fail = what => console.log(`FAILED ${file}: ${what}`, ++failures && '');
    const terminal = new Terminal({ cols, rows, allowProposedApi: true });
    const buffer = () => terminal.buffer.active;
    const marks = [];
    for (const id of [133, 633])
        terminal.parser.registerOscHandler(id, data => !!marks.push({ id, data, at: (buffer().baseY + buffer().cursorY) * cols + buffer().cursorX }));
    await new Promise(done => terminal.write(stream, done));
    const text = (from, to) => Array.from({ length: to - from }, (_, i) => buffer().getLine(Math.floor((from + i) / cols)).getCell((from + i) % cols).getChars() || ' ').join('');
    const shown = Array.from({ length: rows }, (_, y) => buffer().getLine(buffer().baseY + y).translateToString().trimEnd());
    if (shown.join('\n') !== screen.split('\n', rows).map(row => row.trimEnd()).join('\n')) fail(`the screen is:\n${shown.join('\n')}`);
    let [b, e, n] = [null, null, 0];
    for (const mark of marks) {
        if (mark.data === 'B') b = mark;
        if (mark.data.startsWith('E;')) e = mark;
        if (mark.data !== 'C') continue;
        const line = entered[n++] ?? '';
        const end = line.length - (line && (b.at + line.length) % cols === 0 ? 1 : 0);
        if (!marksOn || mark.id !== family) fail(`C of "${line}" in the family ${mark.id}`);
        if (mark.at !== b.at + end || text(b.at, mark.at) !== line.slice(0, end)) fail(`C of "${line}" after "${text(b.at, mark.at)}"`);
        if (family === 633 && (!e || unescape(e.data.slice(2)) !== line.trimEnd())) fail(`E of "${line}": ${e?.data}`);
        e = null;
    }
    if (n !== (marksOn ? entered.length : 0) || (family !== 633 && marks.some(m => m.data.startsWith('E;')))) fail(`${n} C for ${entered.length} lines`);
    console.log(`${file}: ${marks.map(m => `${m.id};${m.data} at ${m.at % cols},${Math.floor(m.at / cols)}`).join('  ')}`);
}
console.log(failures ? `${failures} failed` : 'passed: the terminal marks, as xterm.js reads them');
process.exit(failures ? 1 : 0);
