// The highscore dialog's "worldwide highscore" command: after the player's
// confirmation, the three local tables go to the highscore server entry by
// entry, and the server's list page opens in the browser.
//
// The highscore dialog gets it with one call where it is created:
//     TfHighscore Dialog(this);
//     AttachNetSubmit(Dialog);
// Other windows call SubmitHighscores with their translation component (its
// script must hold "msgsendtonet" and "senderror") and a post component.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace tessum {

class TfHighscore;
class TMultiLanguage;
class TWebPost;

struct TNetSubmitOptions {
    // Folder of the tables; empty: the folder the game writes them to.
    std::string Folder;
    // Server and port to send to; empty and 0: the server of settings.ini's
    // section "internet", else the built-in one.
    std::string Server;
    std::uint16_t Port = 0;
    // Number of variants offered by the dialog's choice.
    int Variants = 3;
    // Shows the list page; empty: the desktop's web browser.
    std::function<void(const QString& Url)> OpenPage;
};

enum class TNetSubmitResult { Cancelled, Sent, Failed };

// Asks, then sends every table with Dialog (and so all its controls) disabled;
// the highscore dialog only locks its controls, and closing it meanwhile
// cancels the submission (Cancelled, no message). The first failure ends the
// submission with "senderror"; only when every table went out is the page
// opened. The whole submission has one time limit besides each request's.
// The local tables are only read.
TNetSubmitResult SubmitHighscores(QWidget* Dialog, const TMultiLanguage& lng, TWebPost& Post,
                                  const TNetSubmitOptions& Options = {});

// Gives Dialog a post component and runs SubmitHighscores on its
// "worldwide highscore" button, over as many variants as its choice offers.
// Returns the post component, which the dialog owns.
TWebPost* AttachNetSubmit(TfHighscore& Dialog, TNetSubmitOptions Options = {});

}  // namespace tessum
