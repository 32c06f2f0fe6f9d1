// Entry point: the start-up sequence lives in the application shell.
int main()
{
    return 0;
}
