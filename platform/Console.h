#pragma once

// Makes the console show the program's UTF-8 output as text. Linux terminals take UTF-8 already;
// a Windows console shows its OEM code page (932 on Japanese Windows) until told otherwise. Output
// into a file or a pipe is bytes either way.
void UseUtf8Console();
