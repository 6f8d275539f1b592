void vrel__main() {
int vrel__f;
int vrel__f() {
int vrel__f;
return vrel__f ;

}
vrel__f = vrel__f() ;

}
int main() {
	vrel__main();
}


