// Terminal marks: at each entered line, the shell-integration mark that the
// command ran and its output starts here, which a prompt string cannot
// write, for the terminals built on the pseudo console.
#pragma once

// Set by every keystroke but an entered line's: a keyless event after none
// enters no new line for the terminal.
extern bool KeystrokeSinceEnteredLine;

// At an entered line, before its tag: the mark at the line's end, where
// marks are on and the console keeps no scroll-back. The cursor's row when
// it was read, else -1.
int WriteCommandMark(bool keyless);
