#include "app/uNetSubmit.h"

#include <QDeadlineTimer>
#include <QPointer>
#include <QWidget>
#include <exception>

#include "i18n/MultiLanguage.h"
#include "i18n/TRadioGroup.h"
#include "highscore/WebPost.h"
#include "i18n/lngDialogs.h"
#include "game/uProfile.h"
#include "game/uTSettings.h"
#include "highscore/uTHighscore.h"
#include "app/uOpenDocument.h"
#include "app/ufHighscore.h"

namespace tessum {

namespace {

// Re-enables the dialog and restores the post's error receiver on every way
// out, a damaged table's exception included; a dialog left disabled could not
// even be closed. The highscore dialog keeps its window enabled and only
// locks its controls, so that its close box and Escape can cancel.
class TSubmitScope {
public:
    TSubmitScope(QWidget* Dialog, TWebPost& Post)
        : Dialog_(Dialog), Highscore_(qobject_cast<TfHighscore*>(Dialog)), Post_(Post), Saved_(Post.OnError) {
        Active_ = true;
        if (Highscore_)
            Highscore_->SetSubmitting(true);
        else if (Dialog_)
            Dialog_->setEnabled(false);
        // Network errors appear like the program's other messages, not in a
        // box of their own.
        if (!Post_.OnError)
            Post_.OnError = [](TWebPost&, const std::string& Text, int) { LngMessageDlg(Text, mtError, {mbOK}); };
        Post_.ResetCancel();
        Post_.Deadline = QDeadlineTimer(inetconfig::SubmissionTimeoutMs);
    }
    ~TSubmitScope() {
        Post_.OnError = Saved_;
        Post_.Deadline = QDeadlineTimer(QDeadlineTimer::Forever);
        Post_.ResetCancel();
        if (Highscore_)
            Highscore_->SetSubmitting(false);
        else if (Dialog_)
            Dialog_->setEnabled(true);
        Active_ = false;
    }
    TSubmitScope(const TSubmitScope&) = delete;
    TSubmitScope& operator=(const TSubmitScope&) = delete;

    // The waits for the server let events through; a second click that slips
    // past the disabled controls must not start a second submission.
    static bool Active() { return Active_; }

private:
    static inline bool Active_ = false;
    QWidget* Dialog_;
    QPointer<TfHighscore> Highscore_;
    TWebPost& Post_;
    TWebPostError Saved_;
};

}  // namespace

TNetSubmitResult SubmitHighscores(QWidget* Dialog, const TMultiLanguage& lng, TWebPost& Post,
                                  const TNetSubmitOptions& Options) {
    if (TSubmitScope::Active()) return TNetSubmitResult::Cancelled;
    if (LngMessageDlg(lng.GetText("msgsendtonet"), mtConfirmation, {mbOK, mbCancel}) != mrOk)
        return TNetSubmitResult::Cancelled;

    TSubmitScope scope(Dialog, Post);
    QString page;
    {
        const std::string folder = Options.Folder.empty() ? UserDataFolder() : Options.Folder;
        THighscore table;
        TInternetSettings configured;
        configured.Load();
        table.Server = Options.Server.empty() ? configured.Server : Options.Server;
        table.Port = Options.Port != 0 ? Options.Port : Options.Server.empty() ? configured.Port : 80;
        page = QString::fromLatin1(configured.Page.c_str());
        for (int v = 1; v <= Options.Variants; ++v) {
            table.Clear();
            table.Index = std::to_string(v);
            try {
                table.LoadFromFile(HighscoreFileName(folder, v));
            } catch (const std::exception& e) {
                // A damaged table cannot be sent; what is wrong with it is
                // the news, and the rest waits until it is mended or replaced.
                LngMessageDlg(std::string(e.what()), mtError, {mbOK});
                return TNetSubmitResult::Failed;
            }
            if (table.SendToNet(Post) != 0) {
                // The player asked to stop: nothing to report.
                if (Post.Cancelled()) return TNetSubmitResult::Cancelled;
                LngMessageDlg(lng.GetText("senderror"), mtError, {mbOK});
                return TNetSubmitResult::Failed;
            }
        }
        // A cancel that came after the last answer still means: no page.
        if (Post.Cancelled()) return TNetSubmitResult::Cancelled;
    }
    if (Options.OpenPage)
        Options.OpenPage(page);
    else
        OpenDocument(page, Dialog);
    return TNetSubmitResult::Sent;
}

TWebPost* AttachNetSubmit(TfHighscore& Dialog, TNetSubmitOptions Options) {
    auto* post = new TWebPost(&Dialog);
    post->setObjectName(QStringLiteral("wpHighscore"));
    QObject::connect(&Dialog, &TfHighscore::NetHighscoreRequested, post, [&Dialog, post, Options]() mutable {
        // An untranslated choice is still empty; the game has three variants.
        Options.Variants = Dialog.rgVariante->Count() > 0 ? Dialog.rgVariante->Count() : 3;
        SubmitHighscores(&Dialog, *Dialog.lng, *post, Options);
    });
    QObject::connect(&Dialog, &TfHighscore::CancelSubmitRequested, post, &TWebPost::Cancel);
    return post;
}

}  // namespace tessum
