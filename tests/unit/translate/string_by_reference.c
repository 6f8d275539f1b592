void vrel__main() {
byte vrel__buf[8];
int vrel__n;
vrel__writeString("hi");
vrel__strcpy(vrel__buf , "x");
vrel__n = vrel__strcmp(vrel__buf , "y") ;

}
int main() {
	vrel__main();
}


