// Carries the version block and does nothing else.
int main()
{
    return 0;
}
