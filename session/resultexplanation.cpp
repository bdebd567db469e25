#include "session/resultexplanation.h"

#include "link/linkresult.h"
#include "session/sessionresult.h"

QString ResultExplanation::explain(int code)
{
    switch (code) {
    case LinkBadPageCount:
        return tr("недопустимое число страниц в запросе");
    case LinkNotSent:
        return tr("запрос не передан целиком");
    case LinkNoReply:
        return tr("ККТ не ответила вовремя");
    case LinkBadReply:
        return tr("ответ ККТ повреждён");
    case LinkBadHeader:
        return tr("заголовок памяти ККТ не распознан");
    case LinkUnknownOp:
        return tr("неизвестная операция");
    case LinkOutOfRange:
        return tr("данные не помещаются в область ККТ");
    case LinkWriteRejected:
        return tr("ККТ не подтвердила запись");
    case LinkReadMismatch:
        return tr("ККТ не подтвердила чтение");
    case LinkStopped:
        return tr("обмен прерван");
    case LinkSocketError:
        return tr("ошибка соединения с ККТ");
    case LinkSerialMismatch:
        return tr("заводской номер ККТ не совпадает с заданным");
    case SessionUnsupportedVersion:
        return tr("версия ККТ не поддерживается");
    case SessionWrongFamily:
        return tr("параметры не подходят для ККТ этой версии");
    case SessionBackupFailed:
        return tr("резервная копия не сохранена, ничего не записано");
    case SessionVerifyFailed:
        return tr("ККТ хранит не то, что было записано");
    case SessionTooManyGoods:
        return tr("товаров больше, чем помещается в ККТ");
    case SessionUnreachable:
        return tr("ККТ не доступна");
    default:
        return tr("неизвестный код");
    }
}

QString ResultExplanation::line(const QString &failure, int code)
{
    return tr("%1 (%2)").arg(failure.arg(code), explain(code));
}
