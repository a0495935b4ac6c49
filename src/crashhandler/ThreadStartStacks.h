#pragma once

// Gives threads that the project does not start itself (the toolkit's
// pools, library threads) their alternate signal stack as they start: the
// process's pthread_create is wrapped, and once enabled each new thread runs
// AltStack::ensureForCurrentThread before its own start routine. Until then
// (and in a program that never arms the crash writer) the wrapper only
// passes the call on.
namespace ThreadStartStacks {

void enable();
bool enabled();

}
