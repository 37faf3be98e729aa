// sd_vorsan: the speech-dispatcher output module of the speech engine.
// speech-dispatcher starts it with the module's configuration file as its
// argument and speaks to it on standard input and output.
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "CommandLoop.h"
#include "ProtocolWriter.h"
#include "EngineSpeaker.h"

int main() {
    // The protocol gets its own descriptor before anything else runs, and
    // standard output becomes standard error: whatever a library prints can
    // never reach the server, where a stray line would hang its client.
    const int protocol = dup(STDOUT_FILENO);
    if (protocol < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        std::perror("sd_vorsan: cannot set up the protocol descriptor");
        return 1;
    }
    std::signal(SIGPIPE, SIG_IGN); // a server gone away is seen as a failed write
    vorsan::speechd::ProtocolWriter out(protocol);
    vorsan::speechd::EngineSpeaker speaker(out);
    vorsan::speechd::CommandLoop loop(out, speaker);
    loop.run(STDIN_FILENO);
    return 0;
}
