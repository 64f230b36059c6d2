#include "game/uSound.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <QtGlobal>

#include <cstdio>

namespace tessum {

namespace {

// Qt's sound service reports on the console when there is no sound server to
// talk to. Sound is an extra here: while the service is asked, that noise is
// dropped; everything else passes on to whoever handled messages before.
QtMessageHandler gOuterHandler = nullptr;

void DropSoundServiceNoise(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
    if (Text.startsWith(QLatin1String("PulseAudioService:"))) return;
    if (gOuterHandler) {
        gOuterHandler(Type, Context, Text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(Type, Context, Text)));
    }
}

class TQuietSoundService {
public:
    TQuietSoundService() { gOuterHandler = qInstallMessageHandler(DropSoundServiceNoise); }
    ~TQuietSoundService() { qInstallMessageHandler(gOuterHandler); }
    TQuietSoundService(const TQuietSoundService&) = delete;
    TQuietSoundService& operator=(const TQuietSoundService&) = delete;
};

const QHash<QString, QString>& SoundIndex();

// One QSoundEffect per sound, all loaded when the first sound is asked for, so
// that a sound repeated during a move (every sown stone) starts without loading
// again. A sound asked for while it is still loading starts once it is ready,
// unless another sound or a stop has come in the meantime.
class TDeviceSoundOutput final : public ISoundOutput {
public:
    ~TDeviceSoundOutput() override { Clear(); }

    void Play(const QString& ResourcePath) override {
        if (!QCoreApplication::instance()) return;
        const TQuietSoundService quiet;
        // A machine without sound plays nothing; asking Qt to play there only
        // yields warnings on the console.
        if (QMediaDevices::audioOutputs().isEmpty()) return;
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) return;
        // Effects are bound to the device they were made for; follow the user
        // to a new one (headphones plugged in).
        if (device != device_) {
            Clear();
            device_ = device;
            for (const QString& path : SoundIndex()) Effect(path);
        }
        QSoundEffect* effect = Effect(ResourcePath);
        current_ = effect;
        if (effect->status() == QSoundEffect::Ready) {
            effect->play();
        } else {
            pending_ = effect;
        }
    }

    void Stop() override {
        const TQuietSoundService quiet;
        pending_ = nullptr;
        if (current_) current_->stop();
        current_ = nullptr;
    }

private:
    QSoundEffect* Effect(const QString& Path) {
        QSoundEffect*& effect = effects_[Path];
        if (!effect) {
            QSoundEffect* e = new QSoundEffect(device_);
            QObject::connect(e, &QSoundEffect::statusChanged, e, [this, e] {
                if (e == pending_ && e->status() != QSoundEffect::Loading) {
                    pending_ = nullptr;
                    if (e->status() == QSoundEffect::Ready) {
                        const TQuietSoundService quiet;
                        e->play();
                    }
                }
            });
            e->setSource(QUrl(QStringLiteral("qrc") + Path));
            effect = e;
        }
        return effect;
    }

    void Clear() {
        const TQuietSoundService quiet;
        current_ = pending_ = nullptr;
        qDeleteAll(effects_);
        effects_.clear();
    }

    QHash<QString, QSoundEffect*> effects_;
    QAudioDevice device_;
    QSoundEffect* current_ = nullptr;
    QSoundEffect* pending_ = nullptr;
};

struct TSoundState {
    std::unique_ptr<ISoundOutput> Output;
    bool IsDevice = false;
    bool CleanupRegistered = false;
};

TSoundState& State() {
    static TSoundState state;
    return state;
}

// The device output holds Qt Multimedia objects, which must go before the
// application object does.
void ReleaseDeviceOutput() {
    TSoundState& s = State();
    if (s.IsDevice) {
        s.Output.reset();
        s.IsDevice = false;
    }
    s.CleanupRegistered = false;
}

ISoundOutput* Output() {
    TSoundState& s = State();
    if (!s.Output) {
        if (!QCoreApplication::instance()) return nullptr;
        s.Output = std::make_unique<TDeviceSoundOutput>();
        s.IsDevice = true;
        if (!s.CleanupRegistered) {
            qAddPostRoutine(ReleaseDeviceOutput);
            s.CleanupRegistered = true;
        }
    }
    return s.Output.get();
}

QString NormalName(std::string_view Name) {
    QString n = QString::fromLatin1(Name.data(), static_cast<qsizetype>(Name.size())).trimmed().toLower();
    if (n.endsWith(QLatin1String(".wav"))) n.chop(4);
    return n;
}

// Resource names are matched without regard to case, so the folder is listed
// once and indexed by lower-case base name.
const QHash<QString, QString>& SoundIndex() {
    static const QHash<QString, QString> index = [] {
        QHash<QString, QString> h;
        const QDir dir(QStringLiteral(":/sounds"));
        for (const QString& file : dir.entryList(QDir::Files)) {
            if (!file.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)) continue;
            h.insert(file.left(file.size() - 4).toLower(), dir.filePath(file));
        }
        return h;
    }();
    return index;
}

}  // namespace

QString SoundResourcePath(std::string_view Name) {
    return SoundIndex().value(NormalName(Name));
}

void StopSound() {
    if (ISoundOutput* out = Output()) out->Stop();
}

void PlaySoundResource(std::string_view Name) {
    StopSound();
    const QString path = SoundResourcePath(Name);
    if (path.isEmpty()) return;
    if (ISoundOutput* out = Output()) out->Play(path);
}

void SetSoundOutput(std::unique_ptr<ISoundOutput> Output) {
    TSoundState& s = State();
    if (s.Output) s.Output->Stop();
    s.Output = std::move(Output);
    s.IsDevice = false;
}

}  // namespace tessum
