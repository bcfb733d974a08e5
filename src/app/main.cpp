// The process entry of middletext.
#include "application_entry.h"
#include "frame/process_entry.h"

int main()
{
    return mt::RunProcess(app::ApplicationEntry);
}
