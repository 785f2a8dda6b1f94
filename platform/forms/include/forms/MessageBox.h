#pragma once

#include <QList>
#include <QString>

#include <functional>

class QWidget;

namespace forms {

enum class MsgButtons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgAnswer { Ok, Cancel, Abort, Retry, Ignore, Yes, No };

struct MessageRequest {
    QString text;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    QString caption;
};

// Modal message box. Everything goes through one handler: by default a QMessageBox; tests
// install their own to answer and record.
class MessageBox {
public:
    using Handler = std::function<MsgAnswer(const MessageRequest&)>;

    // An empty caption shows the application's name, as every untitled message box does.
    static MsgAnswer show(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                          MsgIcon icon = MsgIcon::None, const QString& caption = {},
                          QWidget* parent = nullptr);

    // Installs a handler (empty: the real message box again) and returns the previous one.
    static Handler setHandler(Handler handler);
};

// Answers every message box while it lives and records what was asked.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(MsgAnswer defaultAnswer = MsgAnswer::Ok);
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;
    ~MessageBoxRecorder();

    // Answers to give, first to last, before falling back to the default answer.
    void queueAnswer(MsgAnswer answer) { m_answers.append(answer); }
    const QList<MessageRequest>& requests() const { return m_requests; }
    void clear() { m_requests.clear(); }

private:
    MessageBox::Handler m_previous;
    MsgAnswer m_default;
    QList<MsgAnswer> m_answers;
    QList<MessageRequest> m_requests;
};

} // namespace forms
