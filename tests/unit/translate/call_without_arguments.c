void vrel__main() {
int vrel__x;
void vrel__f() {

}
int vrel__g() {
return 1 ;

}
vrel__f();
vrel__x = vrel__g() ;

}
int main() {
	vrel__main();
}


