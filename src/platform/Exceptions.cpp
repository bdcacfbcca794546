#include "platform/Exceptions.h"

Exception::Exception(QString message) : m_message(std::move(message)), m_what(m_message.toUtf8()) {}
