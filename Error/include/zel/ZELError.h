// Everything the library offers, with the exception and utility libraries it
// builds on: include this one header to use any of it.
#pragma once

// The library's version (ZEL_ERROR_VERSION_MAJOR, ..., ZEL_ERROR_VERSION).
#include <zel/Version.h>

// Exception and utility libraries.
#include <zel/DataError.h>
#include <zel/Error.h>
#include <zel/ErrorLogFile.h>
#include <zel/ErrorType.h>
#include <zel/InternalError.h>
#include <zel/Interrupt.h>
#include <zel/StringUtilities.h>
#include <zel/ZELAssert.h>

// Messages and error reporting.
#include <zel/ApplicationErrorReporterImpl.h>
#include <zel/ErrorMsg.h>
#include <zel/ErrorReportProvider.h>
#include <zel/ErrorReporter.h>
#include <zel/ErrorReporterImpl.h>
#include <zel/ErrorReporting.h>
#include <zel/ErrorStorage.h>
#include <zel/ErrorTag.h>
#include <zel/ErrorTagIF.h>
#include <zel/ExtExecutionError.h>
#include <zel/NullErrorReporterImpl.h>
#include <zel/OutputMessage.h>
#include <zel/OutputMessageQueue.h>
#include <zel/ReportModeControl.h>
#include <zel/SystemMsg.h>
#include <zel/UserMsg.h>

// Progress reporting.
#include <zel/AnimationProgressReporter.h>
#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/CentredProgressLabel.h>
#include <zel/MidOpProcessor.h>
#include <zel/NullProgressReporterImpl.h>
#include <zel/ProgressAbortMode.h>
#include <zel/ProgressBoundsControl.h>
#include <zel/ProgressHandler.h>
#include <zel/ProgressPredictor.h>
#include <zel/ProgressProvider.h>
#include <zel/ProgressReporterImpl.h>
#include <zel/ProgressReporting.h>

// Progress tracking and budgets.
#include <zel/ITaskProgress.h>
#include <zel/ProgressBudget.h>
#include <zel/ProgressBudgetBuilder.h>
#include <zel/ProgressBudgetDirector.h>
#include <zel/ProgressFunction.h>
#include <zel/ProgressOperation.h>
#include <zel/ProgressSubOp.h>
#include <zel/ProgressTracker.h>
#include <zel/StartProgress.h>

// Translation.
#include <zel/Translation.h>
#include <zel/TranslationManager.h>
#include <zel/TranslationObserver.h>
#include <zel/TranslationPolicy.h>
